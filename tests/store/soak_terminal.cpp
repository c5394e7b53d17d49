// One terminal of the soak: random admissions, moves, discharges,
// readmissions and erasures on the first beds of a shared ward, answering
// every question at random, as fast as it can. Prints what it did.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>

#include "board/admission.h"
#include "board/bedops.h"
#include "wardterminal.h"

using namespace velto;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: soak_terminal <connection> <name> <seed> <operations> <beds>\n");
        return 2;
    }
    const QString name = args.at(2);
    test::Terminal t(args.at(1), name);
    if (!t.connected)
        return 3;
    QRandomGenerator random(args.at(3).toUInt());
    const int operations = args.at(4).toInt();
    const int beds = args.at(5).toInt();
    // New patients are this terminal's own, so a key is only ever kept and
    // in a bed at once through a fault; the same-key race is tested apart.
    const QStringList families {QStringLiteral("佐藤"), QStringLiteral("鈴木"), QStringLiteral("高橋")};
    auto chance = [&](int in) { return random.bounded(in) == 0; };

    int done = 0;
    int changed = 0;
    int refused = 0;
    QElapsedTimer clock;
    clock.start();
    for (; done < operations && clock.elapsed() < 120000; ++done) {
        QCoreApplication::processEvents(); // the other terminal's changes
        AppContext &ctx = t.t.ctx;
        BoardModel &model = t.model();
        t.t.prompter.clear();
        for (int i = 0; i < 4; ++i)
            t.t.prompter.answers << !chance(3);
        const int bed = random.bounded(beds);
        bool did = false;
        if (model.bedEntry(bed).isEmpty()) {
            const QStringList kept = keptRecords(ctx);
            if (!kept.isEmpty() && chance(2)) {
                t.t.prompter.answers.prepend(true);
                did = readmitClick(ctx, model, bed, kept.at(random.bounded(kept.size()))).readmitted;
            } else {
                const PatientRecord r = test::patient(families.at(random.bounded(families.size())),
                                                      name + QString::number(done), QStringLiteral("10年"));
                did = t.admit(bed, r).outcome == SaveResult::Saved;
            }
        } else {
            switch (random.bounded(3)) {
            case 0:
                t.t.prompter.answers.prepend(true);
                did = dischargePatient(ctx, model, bed);
                break;
            case 1:
                t.t.prompter.answers.prepend(true);
                did = erasePatient(ctx, model, bed);
                break;
            default:
                did = moveBed(ctx, model, bed, random.bounded(beds));
            }
        }
        changed += did ? 1 : 0;
        refused += t.t.prompter.texts().contains(storetext::ChangedElsewhere) ? 1 : 0;
    }
    std::printf("%s: %d operations, %d changes, %d refused as changed elsewhere\n", qPrintable(name), done, changed,
                refused);
    return 0;
}

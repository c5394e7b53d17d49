// Does ward moves through the program's logic until the crash test kills
// it: either at a chosen step of one move, or at a random moment of a loop.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>
#include <cstdio>

#include "moves.h"
#include "support/testcontext.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: move_child <appDir> <kind> <step|loop>\n");
        return 2;
    }
    velto::test::FolderContext run(args.at(1), args.at(1) + QStringLiteral("/../Quolmar.ini"));
    velto::AppContext &ctx = run.ctx;
    velto::test::ScriptedPrompter &prompter = run.prompter;
    ctx.currentAccount = {QStringLiteral("nurse"), velto::Authority::Full, QStringLiteral("看護師"), QString()};
    const QString kind = args.at(2);

    if (args.at(3) != QLatin1String("loop")) {
        // Killed at step n of the move (counted from 1).
        const int killAt = args.at(3).toInt();
        int step = 0;
        velto::textfile::setStepHook([&](const QString &) {
            if (++step == killAt)
                std::raise(SIGKILL);
            return true;
        });
        const bool moved = velto::safety::doMove(ctx, kind);
        std::printf("%s %d\n", moved ? "moved" : "refused", step);
        return moved ? 0 : 3;
    }

    std::printf("ready\n");
    std::fflush(stdout);
    QElapsedTimer alive; // an orphan never runs on when the test dies
    alive.start();
    for (int round = 0; alive.elapsed() < 20000; ++round) {
        if (!velto::safety::doMove(ctx, kind)) {
            std::fprintf(stderr, "round %d refused: %s\n", round, qPrintable(prompter.texts().join(QLatin1Char('|'))));
            return 3;
        }
    }
    return 0;
}

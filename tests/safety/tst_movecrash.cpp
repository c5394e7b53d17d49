// Kills the program in the middle of every kind of ward move, at each of its
// steps and at random moments, then starts it again: the ward must be whole,
// and its history must hold an event for every move made and for no other.
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include "core/history.h"
#include "core/startup.h"
#include "moves.h"
#include "support/testcontext.h"

using namespace velto;
using namespace velto::safety;

namespace {

using WardFiles = QMap<QString, QByteArray>; // "DB/x" or "DB/Out/x" -> bytes

QByteArray historyBytes(const AppContext &ctx)
{
    QFile f(ctx.path(HistoryFile));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

WardFiles wardFiles(const AppContext &ctx)
{
    WardFiles files;
    // The history by what its events say: each run gives its events new ids.
    QStringList said;
    for (const HistoryEvent &e : readHistory(historyBytes(ctx)))
        said << QStringList {e.kind, e.room, e.bed, e.patientKey, e.detail}.join(QLatin1Char('|'));
    files.insert(HistoryFile, said.join(QLatin1Char('\n')).toUtf8());
    for (const QString &folder : {QStringLiteral("DB"), QStringLiteral("DB/Out")}) {
        const QDir dir(ctx.path(folder));
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::ReadOnly))
                files.insert(folder + QLatin1Char('/') + name, f.readAll());
        }
    }
    return files;
}

// What must hold after any crash and a new start; empty when it does.
QString wardFault(AppContext &ctx, const QString &kind)
{
    const WardFiles files = wardFiles(ctx);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (QFileInfo(it.key()).fileName().startsWith(QLatin1Char('.')))
            return QStringLiteral("left behind: ") + it.key();
    }
    BoardModel m;
    if (!loadToday(ctx, m))
        return QStringLiteral("layout not whole: ") + ctx.layoutFault;
    QSet<QString> named;
    for (int b = 0; b < BoardModel::BedCount; ++b) {
        const QString entry = m.bedEntry(b);
        if (entry.isEmpty())
            continue;
        named.insert(entry);
        if (!files.contains(QStringLiteral("DB/") + entry))
            return QStringLiteral("bed %1 names a missing file: %2").arg(b).arg(entry);
    }
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString name = QFileInfo(it.key()).fileName();
        if (QFileInfo(it.key()).path() == QLatin1String("DB") && !name.endsWith(QLatin1String(".WBD"))
            && !named.contains(name))
            return QStringLiteral("no bed names ") + name;
    }
    // Every move adds one event and turns the ward to its other state: an
    // odd number of events is the state after the move, an even one the
    // fixture's. A torn or damaged line is a fault of its own.
    const QByteArray history = historyBytes(ctx);
    int whole = 0, bad = 0;
    const QList<HistoryEvent> events = readHistory(history, &whole, &bad);
    if (whole != history.size() || bad != 0)
        return QStringLiteral("history damaged: %1 of %2 bytes whole, %3 bad lines")
            .arg(whole)
            .arg(history.size())
            .arg(bad);
    QSet<QString> ids;
    for (const HistoryEvent &e : events)
        ids.insert(e.id);
    if (ids.size() != events.size())
        return QStringLiteral("an event recorded twice");
    bool moved = false;
    if (kind == QLatin1String("layout"))
        moved = m.bedEntry(1) == InBed;
    else if (kind == QLatin1String("rename"))
        moved = m.bedEntry(0) == Renamed;
    else if (kind == QLatin1String("readmit"))
        moved = !m.bedEntry(1).isEmpty();
    else
        moved = m.bedEntry(0).isEmpty();
    if (moved != (events.size() % 2 == 1))
        return QStringLiteral("%1 events for a ward %2").arg(events.size()).arg(moved ? "moved" : "as laid");
    if (kind == QLatin1String("layout")) {
        // Version n has the patient in bed n and its rooms numbered and coloured n.
        const int n = m.bedEntry(0) == InBed ? 0 : 1;
        for (int r = 0; r < BoardModel::RoomCount; ++r) {
            if (m.roomNumber(r) != QStringLiteral("v%1号%2").arg(n).arg(r) || m.roomColour(r) != n * 1000 + r)
                return QStringLiteral("mixed layout: beds of version %1, room %2 \"%3\" %4")
                    .arg(n)
                    .arg(r)
                    .arg(m.roomNumber(r))
                    .arg(m.roomColour(r));
        }
    }
    return QString();
}

// Runs the child; returns its exit code, -1 when it was killed.
int runChild(const QString &appDir, const QString &kind, const QString &mode, QByteArray *out = nullptr)
{
    QProcess child;
    child.start(QStringLiteral(VELTO_MOVE_CHILD), {appDir, kind, mode});
    if (!child.waitForFinished(30000))
        return -2;
    if (out)
        *out = child.readAllStandardOutput() + child.readAllStandardError();
    return child.exitStatus() == QProcess::CrashExit ? -1 : child.exitCode();
}

// A new start of the program on the folder.
bool restart(test::TestContext &tc)
{
    tc.ctx.layoutFault.clear();
    return prepareDataFolders(tc.ctx);
}

} // namespace

class MoveCrashTest : public QObject {
    Q_OBJECT

private slots:
    void killAtEachStepGivesBeforeOrAfter_data();
    void killAtEachStepGivesBeforeOrAfter();
    void randomKillsKeepTheWardWhole_data() { killAtEachStepGivesBeforeOrAfter_data(); }
    void randomKillsKeepTheWardWhole();
    void failedStepChangesNothing_data() { killAtEachStepGivesBeforeOrAfter_data(); }
    void failedStepChangesNothing();
    void unfinishableChangeEndsTheStart();
};

void MoveCrashTest::killAtEachStepGivesBeforeOrAfter_data()
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : MoveKinds)
        QTest::newRow(qPrintable(kind)) << kind;
}

void MoveCrashTest::killAtEachStepGivesBeforeOrAfter()
{
    QFETCH(QString, kind);
    // The move whole, once: the state after it and how many steps it takes.
    WardFiles before, after;
    int steps = 0;
    {
        test::TestContext tc;
        QVERIFY(layFixture(tc.ctx));
        before = wardFiles(tc.ctx);
        QByteArray out;
        QCOMPARE(runChild(tc.ctx.appDir, kind, QStringLiteral("0"), &out), 0);
        steps = out.split(' ').value(1).trimmed().toInt();
        after = wardFiles(tc.ctx);
        QVERIFY(after != before);
        QCOMPARE(wardFault(tc.ctx, kind), QString());
    }
    QVERIFY2(steps >= 3, qPrintable(QString::number(steps)));

    int sawBefore = 0, sawAfter = 0;
    for (int n = 1; n <= steps; ++n) {
        test::TestContext tc;
        QVERIFY(layFixture(tc.ctx));
        QCOMPARE(runChild(tc.ctx.appDir, kind, QString::number(n)), -1);
        QVERIFY(restart(tc));
        const QString fault = wardFault(tc.ctx, kind);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("killed at step %1: ").arg(n) + fault));
        const WardFiles now = wardFiles(tc.ctx);
        QVERIFY2(now == before || now == after,
                 qPrintable(QStringLiteral("killed at step %1: a state between").arg(n)));
        (now == before ? sawBefore : sawAfter)++;
    }
    // Kills before the intent undo the move, kills after it are completed.
    QVERIFY(sawBefore > 0);
    QVERIFY(sawAfter > 0);
}

void MoveCrashTest::randomKillsKeepTheWardWhole()
{
    QFETCH(QString, kind);
    test::TestContext tc;
    QVERIFY(layFixture(tc.ctx));
    QRandomGenerator rng(20261210);
    constexpr int Kills = 200;
    for (int round = 0; round < Kills; ++round) {
        QProcess child;
        child.start(QStringLiteral(VELTO_MOVE_CHILD), {tc.ctx.appDir, kind, QStringLiteral("loop")});
        QVERIFY2(child.waitForStarted(10000), qPrintable(child.errorString()));
        while (!child.canReadLine() && child.state() == QProcess::Running)
            child.waitForReadyRead(100);
        QThread::usleep(rng.bounded(20001));
        QVERIFY2(child.state() == QProcess::Running,
                 qPrintable(QStringLiteral("round %1: the child stopped: ").arg(round) + child.readAllStandardError()));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        QVERIFY(restart(tc));
        const QString fault = wardFault(tc.ctx, kind);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("round %1: ").arg(round) + fault));
    }
}

void MoveCrashTest::failedStepChangesNothing()
{
    // Every step that can fail (a full disk, a refused rename) before the
    // intent leaves the ward as it was, in memory too.
    QFETCH(QString, kind);
    for (int failAt = 1;; ++failAt) {
        test::TestContext tc;
        QVERIFY(layFixture(tc.ctx));
        const WardFiles before = wardFiles(tc.ctx);
        int step = 0;
        QString failed;
        textfile::setStepHook([&](const QString &name) {
            if (++step != failAt)
                return true;
            failed = name;
            return false;
        });
        const bool moved = doMove(tc.ctx, kind);
        textfile::setStepHook({});
        if (failed.isEmpty()) {
            QVERIFY(moved); // past the last step: the move is whole
            break;
        }
        if (failed.startsWith(QLatin1String("stage")) || failed == QLatin1String("intent")) {
            QVERIFY2(!moved, qPrintable(failed));
            QVERIFY2(wardFiles(tc.ctx) == before, qPrintable(failed));
        }
        // Past the intent a failure is finished by the next start.
        QVERIFY(restart(tc));
        QVERIFY2(wardFault(tc.ctx, kind).isEmpty(), qPrintable(failed + QLatin1String(": ") + wardFault(tc.ctx, kind)));
    }
}

void MoveCrashTest::unfinishableChangeEndsTheStart()
{
    // A rename that keeps failing (a disk gone read-only): the start says so
    // and ends rather than show a ward between two states.
    test::TestContext tc;
    QVERIFY(layFixture(tc.ctx));
    textfile::setStepHook([](const QString &step) { return !step.startsWith(QLatin1String("rename ROOM_NO")); });
    QVERIFY(!doMove(tc.ctx, QStringLiteral("layout")));
    tc.prompter.clear();
    QVERIFY(!restart(tc));
    textfile::setStepHook({});
    QCOMPARE(tc.prompter.asked.size(), 1);
    QVERIFY2(tc.prompter.asked.first().text.startsWith(startuptext::changeNotCompleted(QString())),
             qPrintable(tc.prompter.asked.first().text));
    QVERIFY(tc.prompter.asked.first().text.contains(QStringLiteral("ROOM_NO.WBD")));
    // Once the disk takes it again, the next start finishes the change.
    QVERIFY(restart(tc));
    QCOMPARE(wardFault(tc.ctx, QStringLiteral("layout")), QString());
    BoardModel m;
    QVERIFY(loadToday(tc.ctx, m));
    QCOMPARE(m.bedEntry(1), InBed);
}

QTEST_GUILESS_MAIN(MoveCrashTest)
#include "tst_movecrash.moc"

// The ward's server goes away in the middle of a session (stopped as a
// crash would stop it) and comes back: the board turns read-only with its
// banner within seconds, a save in flight is reported as not saved, and
// after the server is back the board reconnects by itself, listens again
// and shows what is stored; a transaction killed half-way leaves nothing
// of itself. Runs alone: it stops the tests' server.
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>
#include <atomic>
#include <thread>

#include "board/boardcontroller.h"
#include "board/wardlayout.h"
#include "record/recordfields.h"
#include "record/recordsave.h"
#include "scratchdatabase.h"
#include "store/pg/pgstore.h"
#include "store/pg/wardschema.h"
#include "support/testcontext.h"
#include "wardterminal.h"

using namespace velto;
using test::ScratchDatabase;

namespace {

bool server(const QString &action)
{
    const QString dir = qEnvironmentVariable("VELTO_PG_DIR");
    const QString pgCtl = QStringLiteral("/usr/lib/postgresql/15/bin/pg_ctl -D '%1/data'").arg(dir);
    const QString run
        = action == QLatin1String("stop")
              ? pgCtl + QStringLiteral(" -m immediate -w stop")
              : QStringLiteral("bash '%1/scripts/start-database.sh'").arg(qEnvironmentVariable("VELTO_SOURCE_DIR"));
    const QString asServer = QStringLiteral("if [ \"$(id -u)\" = 0 ] && [ %1 = stop ]; then runuser -u postgres -- %2;"
                                            " else %2; fi")
                                 .arg(action, run);
    QProcess p;
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), asServer});
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

using test::patient;

// A terminal that watches its server closely.
struct Terminal : test::Terminal {
    Terminal(const QString &database, const QString &name)
        : test::Terminal(database, name)
    {
        store->setHeartbeat(200);
    }
};

} // namespace

class TestServerLoss : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("VELTO_PG_DIR"),
                 "VELTO_PG_DIR is not set: run scripts/test.sh, which starts the private server");
    }
    void cleanup()
    {
        server("start"); // never leave the other tests without their server
    }

    void serverStoppedAndBack()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString(), "a"), b(s.connectionString(), "b");
        QCOMPARE(int(a.admit(3, patient("佐藤", "一郎", "10年")).outcome), int(SaveResult::Saved));
        QTRY_COMPARE_WITH_TIMEOUT(b.board->model().bedEntry(3), a.board->model().bedEntry(3), 1000);

        QVERIFY(server("stop"));
        QElapsedTimer lost;
        lost.start();
        QTRY_COMPARE_WITH_TIMEOUT(b.t.ctx.storeFault, storetext::ServerLost, 5000);
        QVERIFY(lost.elapsed() < 5000);
        QCOMPARE(layoutReadOnlyText(b.t.ctx), storetext::ServerLost);
        QVERIFY(!b.t.ctx.canChange());
        QCOMPARE(b.board->model().bedEntry(3), a.board->model().bedEntry(3)); // the last state stays

        // A save in flight: reported as not saved, never hanging the window.
        QElapsedTimer save;
        save.start();
        QCOMPARE(int(a.admit(4, patient("鈴木", "一郎", "10年")).outcome), int(SaveResult::Failed));
        QVERIFY(save.elapsed() < 5000);
        QTRY_COMPARE_WITH_TIMEOUT(a.t.ctx.storeFault, storetext::ServerLost, 5000);

        QVERIFY(server("start"));
        QTRY_VERIFY_WITH_TIMEOUT(b.t.ctx.storeFault.isEmpty(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(a.t.ctx.storeFault.isEmpty(), 10000);
        QVERIFY(b.t.ctx.canChange());
        // Nothing of the failed save was stored; the boards listen again.
        QCOMPARE(b.board->model().bedEntry(4), QString());
        QCOMPARE(int(a.admit(5, patient("田中", "一郎", "10年")).outcome), int(SaveResult::Saved));
        QTRY_COMPARE_WITH_TIMEOUT(b.board->model().bedEntry(5), a.board->model().bedEntry(5), 1000);
    }

    // The server ends A's transaction half-way: the record is written and
    // the bed waits for a lock when A's connection is terminated. Nothing
    // of the admission is stored, A says it was not saved, and A goes on
    // once it has reconnected.
    void transactionKilledMidway()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString(), "a"), b(s.connectionString(), "b");
        std::atomic<bool> holding {false};
        std::atomic<bool> killed {false};
        const QString connection = s.connectionString();
        std::thread killer([&] {
            {
                QString error;
                QSqlDatabase holder = wardschema::openConnection(connection, QStringLiteral("holder"), &error);
                QSqlDatabase watcher = wardschema::openConnection(connection, QStringLiteral("watcher"), &error);
                holder.transaction();
                QSqlQuery(holder).exec(QStringLiteral("lock table ward_bed in exclusive mode"));
                holding = true;
                for (int i = 0; i < 400 && !killed; ++i) {
                    QSqlQuery q(watcher);
                    q.exec(QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity"
                                          " where datname = current_database() and wait_event_type = 'Lock'"));
                    killed = q.next() && q.value(0).toBool();
                    if (!killed)
                        QThread::msleep(10);
                }
                holder.commit();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("holder"));
            QSqlDatabase::removeDatabase(QStringLiteral("watcher"));
        });
        while (!holding)
            QThread::msleep(5);
        const SaveResult saved = a.admit(4, patient("鈴木", "一郎", "10年"));
        killer.join();
        QVERIFY(killed);
        QCOMPARE(int(saved.outcome), int(SaveResult::Failed));
        QCOMPARE(a.t.prompter.asked.size(), 1); // told, once, that it was not saved
        QCOMPARE(a.t.prompter.asked.at(0).kind, DialogKind::Error);
        QCOMPARE(a.model().bedEntry(4), QString());

        QTRY_VERIFY_WITH_TIMEOUT(a.t.ctx.storeFault.isEmpty(), 10000);
        const QString key = QStringLiteral("鈴木_一郎_昭和10年5月3日");
        QVERIFY(!b.store->hasRecord(RecordRef::today(key)));
        QCOMPARE(b.stored(4), QString());
        QCOMPARE(int(a.admit(4, patient("鈴木", "一郎", "10年")).outcome), int(SaveResult::Saved));
        QTRY_COMPARE_WITH_TIMEOUT(b.model().bedEntry(4), key, 1000);
    }
};

QTEST_GUILESS_MAIN(TestServerLoss)
#include "tst_serverloss.moc"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>
#include <thread>

#include "scratchdatabase.h"
#include "store/pg/wardschema.h"

using namespace velto;
using test::ScratchDatabase;

namespace {

// An empty database of its own on the private test server, dropped after.
QVariant scalar(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next()) {
        qWarning() << sql << q.lastError().text();
        return QVariant();
    }
    return q.value(0);
}

} // namespace

class TestWardSchema : public QObject {
    Q_OBJECT
private slots:
    // The database tests run only against the private server that the test
    // script starts; without it they fail rather than pass unseen.
    void initTestCase()
    {
        QVERIFY2(!ScratchDatabase::server().isEmpty(),
                 "VELTO_TEST_DATABASE is not set: run scripts/test.sh, which starts the private server");
        QVERIFY(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")));
    }

    void firstConnectionMakesAnEmptyWard()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        QSqlDatabase db = s.connect(QStringLiteral("a"));
        QString error;
        QCOMPARE(wardschema::storedVersion(db, &error), 0);
        QVERIFY2(wardschema::migrate(db, &error), qPrintable(error));
        QCOMPARE(wardschema::storedVersion(db, &error), wardschema::latestVersion());
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from ward_bed where entry = ''")).toInt(), 240);
        QCOMPARE(scalar(db, QStringLiteral("select min(bed) || '-' || max(bed) from ward_bed")).toString(),
                 QStringLiteral("0-239"));
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from ward_room")).toInt(), 30);
        for (const char *table : {"patient_record", "snapshot_day", "facility", "staff_account", "ward_option"})
            QCOMPARE(scalar(db, QStringLiteral("select count(*) from %1").arg(QLatin1String(table))).toInt(), 0);
    }

    void migratingAgainKeepsTheWard()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        QSqlDatabase db = s.connect(QStringLiteral("a"));
        QString error;
        QVERIFY2(wardschema::migrate(db, &error), qPrintable(error));
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("update ward_bed set entry = '佐藤_一郎_昭和10年5月3日' where bed = 5")));
        QVERIFY2(wardschema::migrate(db, &error), qPrintable(error));
        QCOMPARE(scalar(db, QStringLiteral("select entry from ward_bed where bed = 5")).toString(),
                 QStringLiteral("佐藤_一郎_昭和10年5月3日"));
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from ward_bed")).toInt(), 240);
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from velto_schema")).toInt(), 1);
    }

    void newerDatabaseIsRefusedUntouched()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        QSqlDatabase db = s.connect(QStringLiteral("a"));
        QString error;
        QVERIFY2(wardschema::migrate(db, &error), qPrintable(error));
        const int newer = wardschema::latestVersion() + 1;
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("update velto_schema set version = %1").arg(newer)));
        QVERIFY(!wardschema::migrate(db, &error));
        QCOMPARE(error, wardschema::text::NewerDatabase.arg(newer).arg(wardschema::latestVersion()));
        QCOMPARE(wardschema::storedVersion(db, &error), newer);
        QVERIFY(!db.isOpen() || scalar(db, QStringLiteral("select 1")).toInt() == 1); // no transaction left open
    }

    // Terminals switched on together: each migrates, one makes the tables,
    // the others find them made; never two sets of beds, never a failure.
    void terminalsStartingTogether()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        const QString conn = s.connectionString();
        constexpr int Terminals = 4;
        bool migrated[Terminals] = {};
        QString errors[Terminals];
        std::vector<std::thread> threads;
        for (int t = 0; t < Terminals; ++t) {
            threads.emplace_back([&, t] {
                const QString name = QStringLiteral("terminal%1").arg(t);
                {
                    QSqlDatabase db = wardschema::openConnection(conn, name, &errors[t]);
                    migrated[t] = db.isOpen() && wardschema::migrate(db, &errors[t]);
                    db.close();
                }
                QSqlDatabase::removeDatabase(name);
            });
        }
        for (auto &th : threads)
            th.join();
        for (int t = 0; t < Terminals; ++t)
            QVERIFY2(migrated[t], qPrintable(errors[t]));
        QSqlDatabase db = s.connect(QStringLiteral("check"));
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from ward_bed")).toInt(), 240);
        QCOMPARE(scalar(db, QStringLiteral("select count(*) from ward_room")).toInt(), 30);
        QString error;
        QCOMPARE(wardschema::storedVersion(db, &error), wardschema::latestVersion());
    }

    // Two terminals putting the same patient into two beds: the database
    // itself refuses the second, whatever the programs checked before.
    void aPatientHasOneBed()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        QSqlDatabase db = s.connect(QStringLiteral("a"));
        QString error;
        QVERIFY2(wardschema::migrate(db, &error), qPrintable(error));
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("update ward_bed set entry = 'A_B_C' where bed = 1")));
        QVERIFY(!q.exec(QStringLiteral("update ward_bed set entry = 'A_B_C' where bed = 2")));
        QVERIFY(q.exec(QStringLiteral("update ward_bed set entry = 'D_E_F' where bed = 2")));
        QVERIFY(q.exec(QStringLiteral("update ward_bed set entry = '' where bed in (1, 2, 3)")));
        QVERIFY(!q.exec(QStringLiteral("update ward_bed set entry = 'X' where bed = 240")) || q.numRowsAffected() == 0);
    }
};

QTEST_GUILESS_MAIN(TestWardSchema)
#include "tst_wardschema.moc"

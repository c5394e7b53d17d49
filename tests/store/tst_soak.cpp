// Two terminals, each a process of its own, change the same few beds at
// random as fast as they can. Afterwards the ward is whole: every bed names
// a stored record, no record is on two beds, no kept record is also in a
// bed, and no record is stored that no bed names.
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

#include "scratchdatabase.h"
#include "wardterminal.h"

using namespace velto;
using test::ScratchDatabase;

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!ScratchDatabase::server().isEmpty(),
                 "VELTO_TEST_DATABASE is not set: run scripts/test.sh, which starts the private server");
    }

    void twoTerminalsAtRandom()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        {
            test::Terminal first(s.connectionString(), "first"); // the schema, before the two start
            QVERIFY(first.connected);
        }
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QProcess terminals[2];
        for (int i = 0; i < 2; ++i) {
            terminals[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
            terminals[i].start(QStringLiteral(VELTO_SOAK_TERMINAL),
                               {s.connectionString(), i == 0 ? QStringLiteral("A") : QStringLiteral("B"),
                                QString::number(seed + i), QStringLiteral("500"), QStringLiteral("12")});
        }
        for (QProcess &p : terminals) {
            QVERIFY(p.waitForFinished(180000));
            const QString said = QString::fromUtf8(p.readAllStandardOutput().trimmed());
            qInfo("%s", qPrintable(said));
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), 0);
            // Each terminal really worked the ward.
            const QRegularExpressionMatch m
                = QRegularExpression(QStringLiteral("(\\d+) operations, (\\d+) changes")).match(said);
            QVERIFY2(m.hasMatch(), qPrintable(said));
            QCOMPARE(m.captured(1).toInt(), 500);
            QVERIFY(m.captured(2).toInt() > 100);
        }

        QSqlDatabase db = s.connect(QStringLiteral("check"));
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("select bed, entry from ward_bed where entry <> ''")));
        QMap<QString, int> bedOf;
        while (q.next()) {
            const QString entry = q.value(1).toString();
            QVERIFY2(!bedOf.contains(entry), qPrintable(entry + QStringLiteral(" is on two beds")));
            bedOf.insert(entry, q.value(0).toInt());
        }
        QVERIFY(q.exec(QStringLiteral("select place, key from patient_record")));
        QSet<QString> today;
        while (q.next()) {
            const QString key = q.value(1).toString();
            if (q.value(0).toString() == QLatin1String("today"))
                today.insert(key);
            else
                QVERIFY2(!bedOf.contains(key), qPrintable(key + QStringLiteral(" is kept and in a bed")));
        }
        for (auto it = bedOf.constBegin(); it != bedOf.constEnd(); ++it)
            QVERIFY2(today.contains(it.key()), qPrintable(it.key() + QStringLiteral(" is in a bed with no record")));
        for (const QString &key : std::as_const(today))
            QVERIFY2(bedOf.contains(key), qPrintable(key + QStringLiteral(" is stored but in no bed")));
    }
};

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"

// The ward over time: a day's count comes from that day's snapshot only,
// a day without one (or with a damaged one) is a gap, never a zero; months
// count admissions and discharges from the history, and months before the
// history begins are gaps.
#include <QtTest>

#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "board/wardstatistics.h"
#include "core/eradate.h"
#include "core/textfile.h"
#include "support/testcontext.h"

using namespace velto;

namespace {

void writeDay(test::TestContext &t, const QDate &day, int occupied)
{
    QStringList beds;
    for (int i = 0; i < BoardModel::BedCount; ++i)
        beds << (i < occupied ? QStringLiteral("患者%1_一郎_昭和10年5月3日").arg(i) : QString());
    const QString folder = t.path("BackUp/" + eraDateOf(day));
    QDir().mkpath(folder);
    QString error;
    QVERIFY2(textfile::writeLines(folder + "/" + layoutfile::Beds, beds, &error), qPrintable(error));
}

HistoryEvent at(const QString &time, const QString &kind)
{
    HistoryEvent e;
    e.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    e.time = time;
    e.kind = kind;
    return e;
}

} // namespace

class TestWardStatistics : public QObject {
    Q_OBJECT

private slots:
    void occupiedBedsPerDay()
    {
        test::TestContext t;
        t.makeFolders();
        writeDay(t, QDate(2026, 12, 1), 3);
        // 12/02: no snapshot.
        writeDay(t, QDate(2026, 12, 3), 0);
        writeDay(t, QDate(2026, 12, 4), 5);
        {
            QFile damaged(t.path("BackUp/" + eraDateOf(QDate(2026, 12, 4)) + "/" + layoutfile::Beds));
            QVERIFY(damaged.open(QIODevice::WriteOnly));
            damaged.write("\x81\x20\r\n");
        }
        writeDay(t, QDate(2025, 12, 9), 7);  // before the range
        QDir().mkpath(t.path("BackUp/old")); // no day at all

        const QMap<QDate, int> counts = occupiedBedsByDay(t.ctx, QDate(2025, 12, 10), QDate(2026, 12, 10));
        QCOMPARE(counts, (QMap<QDate, int> {{QDate(2026, 12, 1), 3}, {QDate(2026, 12, 3), 0}}));
    }

    void movementsPerMonth()
    {
        const QList<HistoryEvent> events {
            at("2026/10/15 09:00:00", historykind::Admission),
            at("2026/10/20 10:00:00", historykind::DischargeKept),
            at("2026/12/01 11:00:00", historykind::Readmission),
            at("2026/12/05 12:00:00", historykind::DischargeErased),
            at("2026/12/06 13:00:00", historykind::RecordSave),
            at("2026/12/07 14:00:00", historykind::BedMove),
        };
        const QMap<QDate, MonthCounts> months = movementsByMonth(events, QDate(2026, 1, 1), QDate(2026, 12, 31));
        QCOMPARE(months.keys(), (QList<QDate> {QDate(2026, 10, 1), QDate(2026, 11, 1), QDate(2026, 12, 1)}));
        QCOMPARE(months.value(QDate(2026, 10, 1)), (MonthCounts {1, 1}));
        QCOMPARE(months.value(QDate(2026, 11, 1)), (MonthCounts {0, 0})); // a quiet month, not a gap
        QCOMPARE(months.value(QDate(2026, 12, 1)), (MonthCounts {1, 1}));
        QVERIFY(movementsByMonth({}, QDate(2026, 1, 1), QDate(2026, 12, 31)).isEmpty());
        // A range after the history began starts at its own first month.
        QCOMPARE(movementsByMonth(events, QDate(2026, 11, 15), QDate(2026, 12, 31)).firstKey(), QDate(2026, 11, 1));
    }
};

QTEST_GUILESS_MAIN(TestWardStatistics)
#include "tst_wardstatistics.moc"

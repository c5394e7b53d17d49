// What the history window lists (which events, newest first) and the CSV
// file it writes of them, byte for byte.
#include <QtTest>

#include "board/historyfilter.h"
#include "board/statisticsseries.h"
#include "core/textfile.h"

using namespace velto;

namespace {

const QString Sato1 = QStringLiteral("佐藤_一郎_昭和10年5月3日");
const QString Sato2 = QStringLiteral("佐藤_二郎_昭和12年1月1日");
const QString Takahashi = QStringLiteral("高橋_ハナ_大正15年3月3日");

HistoryEvent historyEvent(const char *id, const char *time, const char *login, const QString &kind,
                          const QString &patient = QString())
{
    HistoryEvent e;
    e.id = QString::fromLatin1(id);
    e.time = QString::fromLatin1(time);
    e.loginId = QString::fromLatin1(login);
    e.staffName = e.loginId == QLatin1String("kango01") ? QStringLiteral("山田") : QStringLiteral("鈴木");
    e.kind = kind;
    e.patientKey = patient;
    return e;
}

// Oldest first, as the store gives them; e6 was recorded after e5 by a
// terminal whose clock was behind, e3 and e4 share a second.
QList<HistoryEvent> fixture()
{
    using namespace historykind;
    return {
        historyEvent("e1", "2026/11/30 23:59:59", "kango01", Admission, Sato1),
        historyEvent("e2", "2026/12/01 00:00:00", "kango02", RecordSave, Sato1),
        historyEvent("e3", "2026/12/01 10:00:00", "kango01", Admission, Sato2),
        historyEvent("e4", "2026/12/01 10:00:00", "kango02", BedMove, Takahashi),
        historyEvent("e5", "2026/12/05 08:00:00", "kango01", DischargeKept, Sato1),
        historyEvent("e6", "2026/12/03 09:00:00", "kango02", RoomColour),
        historyEvent("e7", "2026/12/10 09:00:00", "kango01", RecordSave, Takahashi),
    };
}

QStringList ids(const QList<HistoryEvent> &events)
{
    QStringList out;
    for (const HistoryEvent &e : events)
        out << e.id;
    return out;
}

QDate day(int month, int d)
{
    return QDate(2026, month, d);
}

} // namespace

class TestHistoryFilter : public QObject {
    Q_OBJECT

private slots:
    void filter_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("patient");
        QTest::addColumn<QString>("loginId");
        QTest::addColumn<QStringList>("expected");
        const QDate none;
        QTest::newRow("nothing set: all, newest first")
            << none << none << QString() << QString() << QStringList {"e7", "e5", "e6", "e4", "e3", "e2", "e1"};
        QTest::newRow("one day, both ends inclusive")
            << day(12, 1) << day(12, 1) << QString() << QString() << QStringList {"e4", "e3", "e2"};
        QTest::newRow("from only") << day(12, 3) << none << QString() << QString() << QStringList {"e7", "e5", "e6"};
        QTest::newRow("to only") << none << day(11, 30) << QString() << QString() << QStringList {"e1"};
        QTest::newRow("from after to") << day(12, 5) << day(12, 1) << QString() << QString() << QStringList {};
        QTest::newRow("family name") << none << none << QStringLiteral("佐藤") << QString()
                                     << QStringList {"e5", "e3", "e2", "e1"};
        QTest::newRow("given name") << none << none << QStringLiteral("一郎") << QString()
                                    << QStringList {"e5", "e2", "e1"};
        QTest::newRow("both names, full-width space")
            << none << none << QStringLiteral("佐藤　二郎") << QString() << QStringList {"e3"};
        QTest::newRow("the whole key") << none << none << Takahashi << QString() << QStringList {"e7", "e4"};
        QTest::newRow("half-width kana") << none << none << QStringLiteral("ﾊﾅ") << QString()
                                         << QStringList {"e7", "e4"};
        QTest::newRow("a staff name is no patient")
            << none << none << QStringLiteral("山田") << QString() << QStringList {};
        QTest::newRow("blank patient text") << none << none << QStringLiteral("  ") << QString()
                                            << QStringList {"e7", "e5", "e6", "e4", "e3", "e2", "e1"};
        QTest::newRow("staff") << none << none << QString() << QStringLiteral("kango02")
                               << QStringList {"e6", "e4", "e2"};
        QTest::newRow("staff: the whole login ID only")
            << none << none << QString() << QStringLiteral("kango0") << QStringList {};
        QTest::newRow("combined") << day(12, 1) << day(12, 5) << QStringLiteral("佐藤") << QStringLiteral("kango01")
                                  << QStringList {"e5", "e3"};
    }
    void filter()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, patient);
        QFETCH(QString, loginId);
        QFETCH(QStringList, expected);
        QCOMPARE(ids(filterHistory(fixture(), HistoryFilter {from, to, patient, loginId})), expected);
    }

    // The staff list offers each login once, under the name it last had.
    void staffSeen()
    {
        QList<HistoryEvent> events = fixture();
        events << historyEvent("e8", "2026/12/10 10:00:00", "kango02", historykind::RecordSave);
        events.last().staffName = QStringLiteral("鈴木（旧姓 田中）");
        events << historyEvent("e9", "2026/12/10 10:00:01", "", historykind::RecordSave);
        QCOMPARE(staffInHistory(events),
                 (QList<QPair<QString, QString>> {{QStringLiteral("kango01"), QStringLiteral("山田")},
                                                  {QStringLiteral("kango02"), QStringLiteral("鈴木（旧姓 田中）")}}));
    }

    void patientShownAsRead()
    {
        QCOMPARE(patientDisplayName(Sato1), QStringLiteral("佐藤 一郎（昭和10年5月3日）"));
        QCOMPARE(patientDisplayName(QString()), QString());
        QCOMPARE(patientDisplayName(QStringLiteral("RAW")), QStringLiteral("RAW"));
    }

    // Header, then a plain row, then one whose values need quoting; the
    // wave dash a Linux input method types is stored as the code page's.
    void csvBytes()
    {
        HistoryEvent plain = historyEvent("a", "2026/12/01 10:00:00", "kango01", historykind::Admission, Sato1);
        plain.room = QStringLiteral("101");
        plain.bed = QStringLiteral("3");
        plain.detail = QStringLiteral("9時〜10時");
        HistoryEvent quoted = historyEvent("b", "2026/12/02 08:00:00", "k,02", QStringLiteral("x"));
        quoted.staffName = QStringLiteral("line\nbreak");
        quoted.detail = QStringLiteral("say \"hi\"\r\nbye");
        QByteArray bytes;
        QString error;
        QVERIFY2(historyCsv({plain, quoted}, &bytes, &error), qPrintable(error));
        const QByteArray expected
            = QByteArray::fromHex("93fa8e9e2c838d834f8343839349442c8358835e8362837496bc2c8eed97de2c959489ae2c83788362"
                                  "83682c8ab38ed22c93e09765")
              + "\r\n" + "2026/12/01 10:00:00,kango01," + QByteArray::fromHex("8e529363") + ","
              + QByteArray::fromHex("93fc8940") + ",101,3,"
              + QByteArray::fromHex("8db293a15f88ea98595f8fba98613130944e358c8e3393fa") + ","
              + QByteArray::fromHex("398e9e816031308e9e") + "\r\n"
              + "2026/12/02 08:00:00,\"k,02\",\"line\nbreak\",x,,,,\"say \"\"hi\"\"\r\nbye\"\r\n";
        QCOMPARE(bytes, expected);
    }

    // A value a spreadsheet would take for a formula stays text.
    void csvKeepsFormulasAsText_data()
    {
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("=") << "=HYPERLINK(\"x\")" << QByteArray("\"'=HYPERLINK(\"\"x\"\")\"");
        QTest::newRow("+") << "+1" << QByteArray("'+1");
        QTest::newRow("-") << "-2+3" << QByteArray("'-2+3");
        QTest::newRow("@") << "@SUM(A1)" << QByteArray("'@SUM(A1)");
        QTest::newRow("inside, not leading") << "a=b" << QByteArray("a=b");
    }
    void csvKeepsFormulasAsText()
    {
        QFETCH(QString, detail);
        QFETCH(QByteArray, field);
        HistoryEvent e = historyEvent("a", "2026/12/01 10:00:00", "kango01", historykind::RecordSave, Sato1);
        e.detail = detail;
        QByteArray bytes;
        QString error;
        QVERIFY2(historyCsv({e}, &bytes, &error), qPrintable(error));
        QVERIFY2(bytes.endsWith("," + field + "\r\n"), bytes.constData());
    }

    // A character the code page lacks refuses the export, naming it; the
    // file already there stays as it was.
    void csvRefusesWhatTheCodePageLacks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("history.csv");
        QString error;
        QVERIFY2(exportHistoryCsv(path, fixture(), &error), qPrintable(error));
        QByteArray written;
        QVERIFY(textfile::readFile(path, &written, &error));
        QByteArray expected;
        QVERIFY(historyCsv(fixture(), &expected, &error));
        QCOMPARE(written, expected);

        QList<HistoryEvent> events = fixture();
        events[2].detail = QStringLiteral("吉野家の𠮷");
        QByteArray bytes;
        QVERIFY(!historyCsv(events, &bytes, &error));
        QVERIFY2(error.contains(QStringLiteral("U+20BB7")), qPrintable(error));
        error.clear();
        QVERIFY(!exportHistoryCsv(path, events, &error));
        QVERIFY2(error.contains(QStringLiteral("U+20BB7")), qPrintable(error));
        QVERIFY(textfile::readFile(path, &written, &error));
        QCOMPARE(written, expected);
        QVERIFY(!written.contains('?'));
    }

    // A day or month without a count starts a new line on the chart.
    void unbrokenRuns_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QList<QDate>>("keys");
        QTest::addColumn<QList<int>>("runLengths");
        QTest::newRow("days: a gap day") << int(StatisticsStep::Day)
                                         << QList<QDate> {day(11, 29), day(11, 30), day(12, 1), day(12, 3)}
                                         << QList<int> {3, 1};
        QTest::newRow("days: none") << int(StatisticsStep::Day) << QList<QDate> {} << QList<int> {};
        QTest::newRow("months: over the new year, then a gap")
            << int(StatisticsStep::Month)
            << QList<QDate> {QDate(2025, 12, 1), QDate(2026, 1, 1), QDate(2026, 3, 1), QDate(2026, 4, 1)}
            << QList<int> {2, 2};
    }
    void unbrokenRuns()
    {
        QFETCH(int, step);
        QFETCH(QList<QDate>, keys);
        QFETCH(QList<int>, runLengths);
        const QList<QList<QDate>> runs = velto::unbrokenRuns(keys, StatisticsStep(step));
        QList<int> lengths;
        QList<QDate> joined;
        for (const QList<QDate> &run : runs) {
            lengths << run.size();
            joined += run;
        }
        QCOMPARE(lengths, runLengths);
        QCOMPARE(joined, keys);
    }
};

QTEST_GUILESS_MAIN(TestHistoryFilter)
#include "tst_historyfilter.moc"

// The history's one format: an event survives the line and the file whole,
// whatever its values hold; a torn last line and a damaged line are no
// events; a value code page 932 cannot hold is refused, never mangled.
#include <QtTest>

#include "core/appcontext.h"
#include "core/history.h"

using namespace velto;

namespace {

HistoryEvent sample(const QString &detail, const QString &staff = QStringLiteral("山田 花子"))
{
    return {QStringLiteral("7f1c2a4e-9d3b-4c8e-a1f0-2b6d5e8c9a01"),
            QStringLiteral("2026/12/10 09:30:00"),
            QStringLiteral("nurse1"),
            staff,
            historykind::RecordSave,
            QStringLiteral("201"),
            QStringLiteral("3"),
            QStringLiteral("佐藤_一郎_昭和10年5月3日"),
            detail};
}

QByteArray file(const QList<HistoryEvent> &events)
{
    QByteArray all;
    for (const HistoryEvent &e : events) {
        QByteArray line;
        QString error;
        if (!encodeHistoryLine(e, &line, &error))
            qFatal("%s", qPrintable(error));
        all += line;
    }
    return all;
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void valuesSurviveTheLine_data()
    {
        QTest::addColumn<QString>("detail");
        QTest::newRow("plain") << QStringLiteral("氏名, 住所");
        QTest::newRow("empty") << QString();
        QTest::newRow("a tab") << QStringLiteral("前\t後");
        QTest::newRow("CR, LF and CR LF") << QStringLiteral("一\r二\n三\r\n四");
        QTest::newRow("a backslash, and one before t") << QStringLiteral("C:\\temp\\t");
        QTest::newRow("escapes written out") << QStringLiteral("\\t\\r\\n\\\\");
        QTest::newRow("half-width katakana, full-width digits") << QStringLiteral("ﾍﾞｯﾄﾞ １２３");
    }
    void valuesSurviveTheLine()
    {
        QFETCH(QString, detail);
        const HistoryEvent e = sample(detail);
        const QString line = historyLine(e);
        QVERIFY(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
        QCOMPARE(line.count(QLatin1Char('\t')), HistoryFieldCount - 1);
        HistoryEvent back;
        QVERIFY(parseHistoryLine(line, &back));
        QCOMPARE(back, e);
        // And through the file's bytes.
        const QList<HistoryEvent> read = readHistory(file({e, sample(QStringLiteral("二つ目"))}));
        QCOMPARE(read.size(), 2);
        QCOMPARE(read.first(), e);
    }

    // What a crash can leave: a last line without its CR LF is no event,
    // and the length before it says what to keep.
    void tornLastLineIsNoEvent_data()
    {
        QTest::addColumn<int>("cut"); // bytes cut from the end
        QTest::newRow("only the LF") << 1;
        QTest::newRow("CR LF") << 2;
        QTest::newRow("half the line") << 30;
    }
    void tornLastLineIsNoEvent()
    {
        QFETCH(int, cut);
        const QByteArray first = file({sample(QStringLiteral("一"))});
        const QByteArray whole = first + file({sample(QStringLiteral("二"))});
        int wholeBytes = -1;
        int bad = -1;
        const QList<HistoryEvent> read = readHistory(whole.left(whole.size() - cut), &wholeBytes, &bad);
        QCOMPARE(read.size(), 1);
        QCOMPARE(read.first().detail, QStringLiteral("一"));
        QCOMPARE(wholeBytes, int(first.size()));
        QCOMPARE(bad, 0);
        QVERIFY(readHistory(QByteArray("abc"), &wholeBytes).isEmpty());
        QCOMPARE(wholeBytes, 0);
    }

    // Lines that are no event are skipped and counted; the others stay.
    void damagedLinesAreSkipped_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("a field too few") << QByteArray("a\tb\tc\td\te\tf\tg\th\r\n");
        QTest::newRow("a field too many") << QByteArray("a\tb\tc\td\te\tf\tg\th\ti\tj\r\n");
        QTest::newRow("an unknown escape") << QByteArray("a\tb\tc\td\te\tf\tg\th\t\\x\r\n");
        QTest::newRow("a backslash at the end") << QByteArray("a\tb\tc\td\te\tf\tg\th\ti\\\r\n");
        QTest::newRow("no id") << QByteArray("\tb\tc\td\te\tf\tg\th\ti\r\n");
        QTest::newRow("not code page 932") << QByteArray("a\tb\tc\td\te\tf\tg\th\t\x81\x20\r\n");
    }
    void damagedLinesAreSkipped()
    {
        QFETCH(QByteArray, line);
        int bad = -1;
        const QList<HistoryEvent> read = readHistory(
            file({sample(QStringLiteral("前"))}) + line + file({sample(QStringLiteral("後"))}), nullptr, &bad);
        QCOMPARE(read.size(), 2);
        QCOMPARE(read.at(0).detail, QStringLiteral("前"));
        QCOMPARE(read.at(1).detail, QStringLiteral("後"));
        QCOMPARE(bad, 1);
    }

    void unholdableValueIsRefused()
    {
        QByteArray out("untouched");
        QString error;
        QVERIFY(!encodeHistoryLine(sample(QStringLiteral("絵文字😀")), &out, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(out, QByteArray("untouched"));
    }

    // Who and when come from the run: its account and its clock; every
    // event has an id of its own.
    void newEventsTakeTheRunsAccountAndClock()
    {
        FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(9, 5, 7)));
        AppContext ctx;
        ctx.clock = &clock;
        ctx.currentAccount = {QStringLiteral("nurse1"), Authority::Full, QStringLiteral("山田 花子"), QString()};
        const HistoryEvent a
            = newHistoryEvent(ctx, historykind::BedMove, "201", "3", "佐藤_一郎_昭和10年5月3日", "201-3 → 205-1");
        const HistoryEvent b = newHistoryEvent(ctx, historykind::BedMove, "201", "3", "佐藤_一郎_昭和10年5月3日");
        QCOMPARE(a.time, QStringLiteral("2026/12/10 09:05:07"));
        QCOMPARE(a.loginId, QStringLiteral("nurse1"));
        QCOMPARE(a.staffName, QStringLiteral("山田 花子"));
        QVERIFY(!QUuid::fromString(a.id).isNull());
        QVERIFY(a.id != b.id);
        QVERIFY(!a.staffName.isEmpty() && a.detail != b.detail);
    }

    void everyKindOnce()
    {
        QCOMPARE(historykind::all().size(), 12);
        QCOMPARE(QSet<QString>(historykind::all().begin(), historykind::all().end()).size(), 12);
        QVERIFY(historykind::all().contains(QStringLiteral("退院（消去）")));
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"

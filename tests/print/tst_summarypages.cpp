// The layout of the three summary pages, drawn on a canvas that records every call.
#include <QtMath>
#include <QtTest>
#include <memory>

#include "print/summarypages.h"
#include "print/summarytexts.h"

using namespace velto;
using namespace velto::print;

namespace {

struct RecordingCanvas : PageCanvas {
    struct Line {
        double x1, y1, x2, y2;
        LinePen pen;
    };
    struct Arc {
        double cx, cy, r, start, span;
        LinePen pen;
    };
    QVector<Line> lines;
    QVector<Arc> arcs;
    QVector<PrintItem> texts;
    QString order; // L, A, T per call

    void drawLine(double x1, double y1, double x2, double y2, const LinePen &pen) override
    {
        lines.append({x1, y1, x2, y2, pen});
        order += 'L';
    }
    void drawArc(double cx, double cy, double r, double start, double span, const LinePen &pen) override
    {
        arcs.append({cx, cy, r, start, span, pen});
        order += 'A';
    }
    void drawText(const PrintItem &item) override
    {
        texts.append(item);
        order += 'T';
    }
    QVector<PrintItem> textsAt(double x, double y) const
    {
        QVector<PrintItem> found;
        for (const PrintItem &t : texts)
            if (qAbs(t.x - x) < 1e-9 && qAbs(t.y - y) < 1e-9)
                found << t;
        return found;
    }
};

bool near(double a, double b)
{
    return qAbs(a - b) < 1e-6;
}

const double kW = 4 * 25.4 / 600; // the default line width of 4 printer pixels, in mm

// Every key holds "v" & its key, so each printed value shows where it came from.
SummaryInput fullInput()
{
    SummaryInput in;
    for (int k = 0; k <= 225; ++k) {
        const QString key = QStringLiteral("%1").arg(k, 3, 10, QLatin1Char('0'));
        in.record.setValue(key, "v" + key);
    }
    for (const QString &key : progressKeys().mid(30))
        in.record.setValue(key, "v" + key);
    in.facility.hospitalName = "中央病院";
    in.facility.departmentName = "内科病棟";
    in.facility.zip1 = "100";
    in.facility.zip2 = "0001";
    in.facility.address1 = "東京都千代田区";
    in.facility.address2 = "一丁目1番";
    in.facility.tel = "03-0000-0001";
    in.facility.fax = "03-0000-0002";
    in.facility.mail = "ward@example.jp";
    in.printDate = "令和08年12月10日";
    return in;
}

RecordingCanvas drawn(int page, const SummaryInput &input)
{
    auto p = makeSummaryPage(page);
    p->InitPrintItems();
    p->SetPrintText(input);
    RecordingCanvas canvas;
    p->DrawPage(canvas);
    return canvas;
}

} // namespace

class TstSummaryPages : public QObject {
    Q_OBJECT
private slots:
    void pagesByNumber_data();
    void pagesByNumber();
    void items_data();
    void items();
    void itemsShareTheDefaultStyle();
    void emptyRecordPrintsFixedParts_data();
    void emptyRecordPrintsFixedParts();
    void emptyFacilityPrintsOnlyLabels();
    void noTextSurvivesAnEarlierPrint();
    void framesBreakForTheHeading_data();
    void framesBreakForTheHeading();
    void framesComeBeforeTexts();
    void roundedFacilityFrame();
    void offsetsShiftEverything();
};

void TstSummaryPages::pagesByNumber_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("exists");
    QTest::newRow("0") << 0 << false;
    QTest::newRow("1") << 1 << true;
    QTest::newRow("2") << 2 << true;
    QTest::newRow("3") << 3 << true;
    QTest::newRow("4") << 4 << false;
    QTest::newRow("-1") << -1 << false;
}

void TstSummaryPages::pagesByNumber()
{
    QFETCH(int, number);
    QFETCH(bool, exists);
    const auto page = makeSummaryPage(number);
    QCOMPARE(bool(page), exists);
    if (page)
        QCOMPARE(page->pageNumber(), number);
}

void TstSummaryPages::items_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("size");

    const auto row = [](int page, double x, double y, const QString &text, double size = 3.0) {
        QTest::addRow("p%d %s", page, qPrintable(text)) << page << x << y << text << size;
    };
    for (int page = 1; page <= 3; ++page)
        row(page, 77, 8, "患　者　情　報", 8.0);
    row(1, 177, 11, "令和08年12月10日");
    row(1, 187, 7, "Page 1/3");
    row(1, 20, 17, "個人情報");
    row(1, 36, 23, "v001");
    row(1, 56, 28, "v004");
    row(1, 36, 33, "v007v008v009v010");
    row(1, 36, 37, "v011(RHv012)");
    row(1, 36, 41, "v005");
    row(1, 79, 22, "〒v013-v014");
    row(1, 79, 27, "v015v016");
    row(1, 82, 31, "v017");
    row(1, 86, 37, "TEL 自宅");
    row(1, 112, 37, "v018");
    row(1, 112, 42, "v019(呼出名：v020 関係：v021)");
    row(1, 19, 58, "v024");
    row(1, 19, 89, "v032");
    row(1, 20, 96, "家族背景（キーパーソン）");
    row(1, 19, 121, "v119");
    row(1, 19, 185, "v050");
    row(1, 114, 68, "v080");
    row(1, 114, 155, "v109");
    row(1, 114, 158, "vA01");
    row(1, 114, 185, "vA10");
    row(1, 113, 54, "最終血圧 v051/v052");
    row(1, 143, 54, "脈拍 v054 回/分(v055)");
    row(1, 113, 58, "平均血圧 v224/v225");
    row(1, 143, 58, "体温 v053℃");
    row(1, 165, 58, "身長 v056 ㎝");
    row(1, 185, 58, "体重 v057 ㎏");
    row(1, 20, 197, "v058");
    row(1, 20, 217, "v063");
    row(1, 115, 197, "v064");
    row(1, 115, 205, "v065");
    row(1, 20, 229, "視力：v071");
    row(1, 20, 233, "聴力：v070");
    row(1, 20, 238, "麻痺：v072");
    row(1, 20, 258, "v077");
    row(1, 20, 274, "v079");
    row(2, 178, 11, "令和08年12月10日");
    row(2, 187, 7, "Page 2/3");
    row(2, 16, 23, "v174(v175)");
    row(2, 19, 44, "v179");
    row(2, 19, 78, "v185");
    row(2, 16, 121, "v192(v193)");
    row(2, 16, 126, "リハビリ利用(v194)");
    row(2, 16, 130, "運動制限(v195)");
    row(2, 16, 134, "留意点");
    row(2, 19, 138, "v196");
    row(2, 12, 157, "ｺﾐｭﾆｹｰｼｮﾝ問題");
    row(2, 16, 161, "v200(v201)");
    row(2, 11, 190, "皮膚もしくは創部管理の必要性");
    row(2, 15, 194, "v206(v207)");
    row(2, 19, 215, "v211");
    row(2, 16, 227, "v212(v213)");
    row(2, 16, 231, "㍑/分・サイズ、最終交換日等");
    row(2, 16, 247, "v217");
    row(2, 19, 257, "v219");
    row(2, 19, 273, "v223");
    row(3, 177, 11, "令和08年12月10日");
    row(3, 186, 7, "Page 3/3");
    row(3, 13, 19, "問題点");
    row(3, 12, 127, "v146");
    row(3, 13, 135, "その他");
    row(3, 12, 140, "v147");
    row(3, 12, 244, "v173");
    row(3, 51, 253, "中央病院", 4.0);
    row(3, 57, 258, "内科病棟", 4.0);
    row(3, 57, 264, "〒100-0001");
    row(3, 63, 270, "一丁目1番");
    row(3, 79, 274, "03-0000-0001");
    row(3, 80, 277, "03-0000-0002");
    row(3, 147, 277, "ward@example.jp");
}

void TstSummaryPages::items()
{
    QFETCH(int, page);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(QString, text);
    QFETCH(double, size);

    const RecordingCanvas canvas = drawn(page, fullInput());
    const QVector<PrintItem> at = canvas.textsAt(x, y);
    QCOMPARE(at.size(), 1);
    QCOMPARE(at.first().text, text);
    QCOMPARE(at.first().fontSize, size);
    QCOMPARE(at.first().pointSize(), size * 2.88);
}

void TstSummaryPages::itemsShareTheDefaultStyle()
{
    const PrintItem d = defaultPrintItem();
    QCOMPARE(d.fontName, QStringLiteral("ＭＳ 明朝"));
    QCOMPARE(d.fontSize, 3.0);
    QVERIFY(d.fontBold && !d.fontItalic && !d.fontUnderline && !d.fontStrikethru);
    QVERIFY(d.text.isEmpty());

    // Every value of the record reaches its page exactly once.
    QSet<QString> printed;
    for (int page = 1; page <= 3; ++page) {
        const RecordingCanvas canvas = drawn(page, fullInput());
        for (const PrintItem &t : canvas.texts) {
            QCOMPARE(t.fontName, d.fontName);
            QVERIFY(t.fontBold && !t.fontItalic && !t.fontUnderline && !t.fontStrikethru);
            QCOMPARE(t.foreColor, QColor(Qt::black));
            static const QRegularExpression value(QStringLiteral("v(\\d{3}|A\\d{2})"));
            for (auto it = value.globalMatch(t.text); it.hasNext();) {
                const QString key = it.next().captured(1);
                QVERIFY2(!printed.contains(key), qPrintable(key));
                printed << key;
            }
        }
    }
    // Not printed: the patient ID, the age and the keys no page uses.
    QSet<QString> expected;
    for (int k = 1; k <= 225; ++k)
        expected << QStringLiteral("%1").arg(k, 3, 10, QLatin1Char('0'));
    for (const char *skipped : {"006", "110", "111", "218"})
        expected.remove(skipped);
    for (int i = 1; i <= 10; ++i)
        expected << QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0'));
    QCOMPARE(printed, expected);
}

void TstSummaryPages::emptyRecordPrintsFixedParts_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("text"); // empty: nothing is drawn there
    QTest::newRow("name") << 1 << 36.0 << 23.0 << "";
    QTest::newRow("print date") << 1 << 177.0 << 11.0 << "";
    QTest::newRow("emergency contact") << 1 << 112.0 << 42.0 << "";
    QTest::newRow("progress line") << 1 << 114.0 << 68.0 << "";
    QTest::newRow("label") << 1 << 93.0 << 42.0 << "緊急連絡先";
    QTest::newRow("postal code") << 1 << 79.0 << 22.0 << "〒-";
    QTest::newRow("blood type") << 1 << 36.0 << 37.0 << "(RH)";
    QTest::newRow("blood pressure") << 1 << 113.0 << 54.0 << "最終血圧 /";
    QTest::newRow("pulse") << 1 << 143.0 << 54.0 << "脈拍  回/分";
    QTest::newRow("temperature") << 1 << 143.0 << 58.0 << "体温 ℃";
    QTest::newRow("infection") << 1 << 20.0 << 197.0 << "なし";
    QTest::newRow("allergy") << 1 << 115.0 << 197.0 << "なし";
    QTest::newRow("sight") << 1 << 20.0 << 229.0 << "視力：なし";
    QTest::newRow("hearing") << 1 << 20.0 << 233.0 << "聴力：なし";
    QTest::newRow("paralysis") << 1 << 20.0 << 238.0 << "麻痺：";
    QTest::newRow("state line") << 2 << 16.0 << 23.0 << "()";
    QTest::newRow("rehabilitation") << 2 << 16.0 << 126.0 << "リハビリ利用()";
    QTest::newRow("movement") << 2 << 16.0 << 130.0 << "運動制限()";
    QTest::newRow("care note") << 2 << 19.0 << 32.0 << "";
    QTest::newRow("problem line") << 3 << 12.0 << 23.0 << "";
}

void TstSummaryPages::emptyRecordPrintsFixedParts()
{
    QFETCH(int, page);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(QString, text);
    const QVector<PrintItem> at = drawn(page, SummaryInput()).textsAt(x, y);
    if (text.isEmpty()) {
        QVERIFY(at.isEmpty());
    } else {
        QCOMPARE(at.size(), 1);
        QCOMPARE(at.first().text, text);
    }
}

void TstSummaryPages::emptyFacilityPrintsOnlyLabels()
{
    SummaryInput in = fullInput();
    in.facility = FacilityTexts();
    QStringList block;
    for (const PrintItem &t : drawn(3, in).texts)
        if (t.y >= 250)
            block << t.text;
    QCOMPARE(block, QStringList({"〒-", "TEL", "FAX", "E-Mail"}));
}

void TstSummaryPages::noTextSurvivesAnEarlierPrint()
{
    for (int page = 1; page <= 3; ++page) {
        auto p = makeSummaryPage(page);
        p->InitPrintItems();
        p->SetPrintText(fullInput());
        p->InitPrintItems();
        p->SetPrintText(SummaryInput());
        RecordingCanvas canvas;
        p->DrawPage(canvas);
        for (const PrintItem &t : canvas.texts)
            QVERIFY2(!t.text.contains(QLatin1String("v0")) && !t.text.contains("病院"), qPrintable(t.text));
    }
}

void TstSummaryPages::framesBreakForTheHeading_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QRectF>("frame");
    QTest::addColumn<double>("breakFrom");
    QTest::addColumn<double>("breakTo");
    QTest::addColumn<bool>("dotted");
    const auto rect = [](double l, double t, double r, double b) { return QRectF(QPointF(l, t), QPointF(r, b)); };
    QTest::newRow("p1 個人情報") << 1 << rect(17, 19, 204, 47) << 20.0 << 33.0 << false;
    QTest::newRow("p1 家族背景") << 1 << rect(17, 97, 109, 125) << 19.0 << 58.0 << false;
    QTest::newRow("p1 現在までの経過") << 1 << rect(112, 65, 204, 191) << 114.0 << 138.0 << false;
    QTest::newRow("p1 感染症") << 1 << rect(17, 194, 108, 223) << 19.0 << 30.0 << false;
    QTest::newRow("p1 感染症 備考") << 1 << rect(19, 202, 106, 221) << 22.0 << 29.0 << true;
    QTest::newRow("p1 障害 備考") << 1 << rect(19, 243, 202, 262) << 22.0 << 28.0 << true;
    QTest::newRow("p2 食事の状態") << 2 << rect(10, 20, 204, 49) << 12.0 << 29.0 << false;
    QTest::newRow("p2 呼吸管理") << 2 << rect(10, 224, 204, 281) << 12.0 << 38.0 << false;
    QTest::newRow("p2 食事 留意点") << 2 << rect(14, 29, 203, 48) << 16.0 << 26.0 << true;
    QTest::newRow("p2 oxygen box") << 2 << rect(14, 232, 202, 251) << 16.0 << 60.0 << true;
    QTest::newRow("p3 問題点") << 3 << rect(10, 20, 204, 131) << 12.0 << 24.0 << false;
    QTest::newRow("p3 その他") << 3 << rect(10, 136, 204, 249) << 12.0 << 24.0 << false;
}

void TstSummaryPages::framesBreakForTheHeading()
{
    QFETCH(int, page);
    QFETCH(QRectF, frame);
    QFETCH(double, breakFrom);
    QFETCH(double, breakTo);
    QFETCH(bool, dotted);

    const RecordingCanvas canvas = drawn(page, fullInput());
    const double l = frame.left(), t = frame.top(), r = frame.right(), b = frame.bottom();
    const QVector<QVector<double>> expected
        = {{l, t, breakFrom, t}, {breakTo, t, r, t}, {r, t, r, b}, {l, b, r, b}, {l, t, l, b}};
    int found = 0;
    for (const auto &line : canvas.lines) {
        const bool onFrame = (near(line.y1, t) && near(line.y2, t))
                             || (near(line.y1, b) && near(line.y2, b) && line.x1 >= l - 1e-6 && line.x2 <= r + 1e-6)
                             || ((near(line.x1, l) || near(line.x1, r)) && near(line.y1, t) && near(line.y2, b));
        if (!onFrame || line.x2 < l - 1e-6 || line.x1 > r + 1e-6)
            continue;
        bool matches = false;
        for (const auto &e : expected)
            matches
                = matches || (near(line.x1, e[0]) && near(line.y1, e[1]) && near(line.x2, e[2]) && near(line.y2, e[3]));
        if (!matches)
            continue;
        ++found;
        QCOMPARE(line.pen.dotted, dotted);
        QVERIFY(near(line.pen.widthMm, kW));
        QCOMPARE(line.pen.color, QColor(192, 192, 192));
    }
    QCOMPARE(found, 5);
    // Nothing is drawn across the heading's break.
    for (const auto &line : canvas.lines)
        if (near(line.y1, t) && near(line.y2, t))
            QVERIFY(line.x2 <= breakFrom + 1e-6 || line.x1 >= breakTo - 1e-6);
}

void TstSummaryPages::framesComeBeforeTexts()
{
    for (int page = 1; page <= 3; ++page) {
        const RecordingCanvas canvas = drawn(page, fullInput());
        const int firstText = canvas.order.indexOf('T');
        QVERIFY(firstText > 0);
        QVERIFY(!canvas.order.mid(firstText).contains('L'));
        QVERIFY(!canvas.order.mid(firstText).contains('A'));
        // Solid frames first, dotted boxes after them.
        bool seenDotted = false;
        for (const auto &line : canvas.lines) {
            seenDotted = seenDotted || line.pen.dotted;
            QVERIFY(!seenDotted || line.pen.dotted || page == 3);
        }
    }
}

void TstSummaryPages::roundedFacilityFrame()
{
    const RecordingCanvas canvas = drawn(3, fullInput());
    QVector<QPointF> ends;
    for (const auto &line : canvas.lines) {
        if (!near(line.pen.widthMm, 2 * kW))
            continue;
        QVERIFY(!line.pen.dotted);
        QCOMPARE(line.pen.color, QColor(192, 192, 192));
        ends << QPointF(line.x1, line.y1) << QPointF(line.x2, line.y2);
    }
    QCOMPARE(ends.size(), 8);
    for (const QPointF &p : {QPointF(52.2, 250), QPointF(200.8, 250), QPointF(52.2, 282), QPointF(200.8, 282),
                             QPointF(49, 253.2), QPointF(49, 278.8), QPointF(204, 253.2), QPointF(204, 278.8)}) {
        QVERIFY2(std::any_of(ends.begin(), ends.end(),
                             [&](const QPointF &e) { return near(e.x(), p.x()) && near(e.y(), p.y()); }),
                 qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    }

    // Each quarter arc joins two edge ends: its own ends lie on them.
    QCOMPARE(canvas.arcs.size(), 4);
    QVector<QPointF> joined;
    for (const auto &arc : canvas.arcs) {
        QVERIFY(near(arc.r, 3.2));
        QVERIFY(near(qAbs(arc.span), 90));
        QVERIFY(near(arc.pen.widthMm, 2 * kW));
        QVERIFY(!arc.pen.dotted);
        for (double deg : {arc.start, arc.start + arc.span}) {
            const QPointF p(arc.cx + arc.r * qCos(qDegreesToRadians(deg)),
                            arc.cy - arc.r * qSin(qDegreesToRadians(deg)));
            const auto hit = std::find_if(ends.begin(), ends.end(), [&](const QPointF &e) {
                return qAbs(e.x() - p.x()) < 1e-9 + 1e-6 && qAbs(e.y() - p.y()) < 1e-6;
            });
            QVERIFY2(hit != ends.end(), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
            joined << *hit;
        }
    }
    for (const QPointF &e : ends)
        QVERIFY(joined.contains(e));
}

void TstSummaryPages::offsetsShiftEverything()
{
    SummaryPage3 page;
    page.InitPrintItems();
    page.SetPrintText(fullInput());
    RecordingCanvas plain, shifted;
    page.DrawPage(plain);
    page.DrawPage(shifted, 2, -1, 8);
    QCOMPARE(shifted.texts.size(), plain.texts.size());
    QCOMPARE(shifted.texts.first().x, plain.texts.first().x + 2);
    QCOMPARE(shifted.texts.first().y, plain.texts.first().y - 1);
    QVERIFY(near(shifted.lines.first().x1, plain.lines.first().x1 + 2));
    QVERIFY(near(shifted.lines.first().pen.widthMm, 2 * kW));
    QVERIFY(near(shifted.arcs.first().cy, plain.arcs.first().cy - 1));
}

QTEST_APPLESS_MAIN(TstSummaryPages)
#include "tst_summarypages.moc"

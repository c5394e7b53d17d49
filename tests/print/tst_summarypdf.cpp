// The summary pages written as PDF files, one file per page, checked with poppler's tools.
#include <QtTest>

#include "print/paintercanvas.h"

using namespace velto::print;

namespace {

QString run(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

SummaryInput sampleInput()
{
    SummaryInput in;
    in.record.setValue("001", "やまだ");
    in.record.setValue("003", "山田");
    in.record.setValue("004", "太郎");
    in.facility.hospitalName = "中央病院";
    in.facility.zip1 = "100";
    in.facility.zip2 = "0001";
    in.printDate = "令和08年12月10日";
    return in;
}

constexpr double kPtPerMm = 72.0 / 25.4;

} // namespace

class TstSummaryPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void onePdfPerPage();
    void onlyTheChosenPages();
    void textStandsAtItsPlace();
    void staysInsideAPrintersArea();

private:
    QTemporaryDir m_dir;
    QStringList m_files;
};

void TstSummaryPdf::initTestCase()
{
    if (QStandardPaths::findExecutable("pdffonts").isEmpty())
        QSKIP("poppler-utils not installed");
    QVERIFY(m_dir.isValid());
    m_files = writeSummaryPdfs(sampleInput(), m_dir.path(), "summary");
}

void TstSummaryPdf::onePdfPerPage()
{
    QCOMPARE(m_files, QStringList({m_dir.filePath("summary_1.pdf"), m_dir.filePath("summary_2.pdf"),
                                   m_dir.filePath("summary_3.pdf")}));
    for (const QString &file : m_files) {
        const QString info = run("pdfinfo", {file});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)")),
                 qPrintable(info));

        // The Mincho face stands in for the requested one and is embedded.
        const QString fonts = run("pdffonts", {file});
        bool embedded = false;
        for (const QString &line : fonts.split('\n'))
            if (line.contains("IPAMincho"))
                embedded = embedded || line.contains(QRegularExpression("\\byes\\b"));
        QVERIFY2(embedded, qPrintable(fonts));
    }
    QVERIFY(run("pdftotext", {m_files.at(2), "-"}).contains("中央病院"));
    QVERIFY(run("pdftotext", {m_files.at(0), "-"}).contains("山田"));
}

void TstSummaryPdf::onlyTheChosenPages()
{
    QTemporaryDir dir;
    QCOMPARE(writeSummaryPdfs(sampleInput(), dir.path(), "s", {2}), QStringList({dir.filePath("s_2.pdf")}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"s_2.pdf"}));
}

void TstSummaryPdf::textStandsAtItsPlace()
{
    QVERIFY(!m_files.isEmpty());
    // The page number item is at (187, 7) on the sheet, drawn 5 mm up and left.
    const QString html = run("pdftotext", {"-bbox", m_files.at(0), "-"});
    const QRegularExpression word(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" yMax=\"[\\d.]+\">Page</word>");
    const QRegularExpressionMatch m = word.match(html);
    QVERIFY2(m.hasMatch(), qPrintable(html.left(2000)));
    QVERIFY(qAbs(m.captured(1).toDouble() - (187 - 5) * kPtPerMm) < 1.0);
    // The top of the text box sits at the item's top edge, give or take the face's leading.
    QVERIFY(qAbs(m.captured(2).toDouble() - (7 - 5) * kPtPerMm) < 2.5);
}

// Every word's box on a page, in points: xMin, yMin, xMax, yMax, and the word.
struct Word {
    QRectF box;
    QString text;
};
static QList<Word> words(const QString &pdf)
{
    QList<Word> all;
    const QRegularExpression re("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                                "yMax=\"([\\d.]+)\">([^<]*)</word>");
    auto it = re.globalMatch(run("pdftotext", {"-bbox", pdf, "-"}));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        all.append({QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                           QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())),
                    m.captured(5)});
    }
    return all;
}

// A printer that cannot print the outer 5 mm of the sheet: every word of
// the three pages lies inside what it prints; the page number, drawn 2 mm
// from the top on a sheet printed whole, moves down to the edge, no further.
void TstSummaryPdf::staysInsideAPrintersArea()
{
    const QStringList files
        = writeSummaryPdfs(sampleInput(), m_dir.path(), "margins", {1, 2, 3}, kSheetOffsetMm, QMarginsF(5, 5, 5, 5));
    QCOMPARE(files.size(), 3);
    const QRectF printable = QRectF(5, 5, 200, 287).adjusted(-0.3, -0.3, 0.3, 0.3);
    for (const QString &file : files) {
        const QList<Word> all = words(file);
        QVERIFY(!all.isEmpty());
        for (const Word &w : all) {
            const QRectF mm(w.box.topLeft() / kPtPerMm, w.box.bottomRight() / kPtPerMm);
            QVERIFY2(printable.contains(mm), qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 mm in %6")
                                                            .arg(w.text)
                                                            .arg(mm.x())
                                                            .arg(mm.y())
                                                            .arg(mm.width())
                                                            .arg(mm.height())
                                                            .arg(file)));
        }
    }
    const auto pageWord = [](const QString &file) {
        for (const Word &w : words(file))
            if (w.text == QLatin1String("Page"))
                return w.box;
        return QRectF();
    };
    const QRectF whole = pageWord(m_files.at(0)), kept = pageWord(files.at(0));
    QVERIFY(whole.top() < 5 * kPtPerMm); // the case: on a whole sheet it stands in the edge
    QVERIFY(qAbs(kept.top() - 5 * kPtPerMm) < 1.0);
    QVERIFY(qAbs(kept.left() - whole.left()) < 0.5); // nothing moved that need not
}

QTEST_MAIN(TstSummaryPdf)
#include "tst_summarypdf.moc"

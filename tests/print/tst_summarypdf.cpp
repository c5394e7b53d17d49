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

QTEST_MAIN(TstSummaryPdf)
#include "tst_summarypdf.moc"

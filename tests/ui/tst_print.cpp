// The print dialog and the summary's jobs on the default printer of the
// private CUPS server named by CUPS_SERVER (scripts/start-printer.sh: a PDF
// queue whose PDFs land in VELTO_PDF_DIR). Without CUPS_SERVER nothing is
// printed, so that a run never reaches the machine's own printers.
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

#include "core/errorlog.h"
#include "facility/facilityinfo.h"
#include "print/paintercanvas.h"
#include "print/printtexts.h"
#include "print/summarypages.h"
#include "support/files.h"
#include "support/testcontext.h"
#include "support/widgets.h"
#include "ui/printdialog.h"
#include "ui/systemprinter.h"

using namespace velto;
using print::PrintOutcome;
using print::summaryJobName;

namespace {

QString run(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The private server's default printer; null without one.
QPrinterInfo testPrinter()
{
    if (qEnvironmentVariableIsEmpty("CUPS_SERVER"))
        return QPrinterInfo();
    return QPrinterInfo::defaultPrinter();
}

// Where the printing tests must run (CI), a missing printer fails them.
#define NO_PRINTER(why)                                                                                                \
    do {                                                                                                               \
        if (qEnvironmentVariableIntValue("VELTO_REQUIRE_PRINTER"))                                                     \
            QFAIL(why);                                                                                                \
        QSKIP(why);                                                                                                    \
    } while (false)

const char *const NoPrinterSkip
    = "no default printer on CUPS_SERVER (run scripts/start-printer.sh, then source its env file)";

// Ids of the queue's jobs, oldest first; `which` as lpstat -W takes it. lpstat
// asks the server of CUPS_SERVER, as Qt's printing does.
QList<int> jobIds(const QString &queue, const QString &which)
{
    QList<int> ids;
    const QRegularExpression re(QStringLiteral("^%1-(\\d+)\\s").arg(QRegularExpression::escape(queue)),
                                QRegularExpression::MultilineOption);
    auto it = re.globalMatch(run("lpstat", {"-W", which, "-o", queue}));
    while (it.hasNext())
        ids << it.next().captured(1).toInt();
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The PDF the queue wrote for a job: cups-pdf names it <title>-job_<id>.pdf
// in the private server's folder, else in the user's ~/PDF or its anonymous
// folder.
QString jobPdf(int id)
{
    QStringList folders {QDir::home().filePath("PDF"), QStringLiteral("/var/spool/cups-pdf/ANONYMOUS")};
    if (!qEnvironmentVariableIsEmpty("VELTO_PDF_DIR"))
        folders = QStringList {qEnvironmentVariable("VELTO_PDF_DIR")};
    for (const QString &folder : folders) {
        const QStringList hits = QDir(folder).entryList({QStringLiteral("*-job_%1.pdf").arg(id)}, QDir::Files);
        if (!hits.isEmpty())
            return QDir(folder).filePath(hits.first());
    }
    return QString();
}

bool minchoEmbedded(const QString &pdf)
{
    for (const QString &line : run("pdffonts", {pdf}).split('\n'))
        if (line.contains("IPAMincho") && line.contains(QRegularExpression("\\byes\\b")))
            return true;
    return false;
}

using test::child;

PatientRecord editedRecord()
{
    PatientRecord r;
    r.setValue("003", QStringLiteral("未保存山田"));
    r.setValue("004", QStringLiteral("太郎"));
    return r;
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void dialogControls()
    {
        test::TestContext t;
        PrintDialog w(t.ctx, PatientRecord());
        QCOMPARE(w.objectName(), QStringLiteral("frmPrint"));
        QCOMPARE(w.windowTitle(), QStringLiteral("印刷"));
        auto *frame = child<QGroupBox>(&w, "Frame1");
        QVERIFY(frame);
        QCOMPARE(frame->title(), QStringLiteral("印刷対象"));
        const char *checks[] = {"Check1", "Check2", "Check3"};
        const QString captions[] = {"１ページ目", "２ページ目", "３ページ目"};
        for (int i = 0; i < 3; ++i) {
            auto *c = child<QCheckBox>(frame, checks[i]);
            QVERIFY(c);
            QCOMPARE(c->text(), captions[i]);
            QVERIFY(c->isChecked());
        }
        auto *print = child<QPushButton>(&w, "Command2");
        auto *cancel = child<QPushButton>(&w, "Command1");
        QVERIFY(print && cancel);
        QCOMPARE(print->text(), QStringLiteral("印刷(&P)"));
        QCOMPARE(print->toolTip(), QStringLiteral("患者情報を印刷します（サマリー）"));
        QCOMPARE(cancel->text(), QStringLiteral("ｷｬﾝｾﾙ(&C)"));
        QCOMPARE(cancel->toolTip(), QStringLiteral("印刷せず終了します"));

        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        cancel->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(t.prompter.asked.isEmpty());
    }

    // The refusals ask nothing further and leave the dialog open as it was.
    void refusals_data()
    {
        QTest::addColumn<bool>("anyTicked");
        QTest::addColumn<bool>("printer");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("no page ticked") << false << true << int(PrintOutcome::NothingTicked)
                                        << QStringList {"印刷するページを選択してください。"};
        QTest::newRow("no default printer")
            << true << false << int(PrintOutcome::NoPrinter) << QStringList {printtext::NoPrinter};
    }
    void refusals()
    {
        QFETCH(bool, anyTicked);
        QFETCH(bool, printer);
        QFETCH(int, outcome);
        QFETCH(QStringList, texts);
        test::TestContext t;
        PrintDialog w(t.ctx, editedRecord());
        bool asked = false;
        w.setPrinterSource([&] {
            asked = true;
            return printer ? testPrinter() : QPrinterInfo();
        });
        for (const char *name : {"Check1", "Check2", "Check3"})
            child<QCheckBox>(&w, name)->setChecked(anyTicked);
        w.show();
        QCOMPARE(int(w.printTickedPages()), outcome);
        QCOMPARE(t.prompter.texts(), texts);
        QCOMPARE(t.prompter.asked.first().kind, DialogKind::Error);
        QVERIFY(w.isVisible());
        QCOMPARE(child<QCheckBox>(&w, "Check2")->isChecked(), anyTicked);
        QCOMPARE(asked, anyTicked); // the printer is looked up only once a page is ticked
    }

    // Without a printer behind the dialog nothing reaches any queue, even
    // with every page ticked and a yes ready for the question.
    void nullPrinterPrintsNothing()
    {
        const QPrinterInfo queue = testPrinter();
        const QList<int> before = queue.isNull() ? QList<int>() : jobIds(queue.printerName(), "all");
        test::TestContext t;
        t.prompter.answers = {true};
        PrintDialog w(t.ctx, editedRecord());
        w.setPrinterSource([] { return QPrinterInfo(); });
        w.show();
        QCOMPARE(w.printTickedPages(), PrintOutcome::NoPrinter);
        QCOMPARE(t.prompter.texts(), QStringList {printtext::NoPrinter});
        QVERIFY(w.isVisible());
        if (!queue.isNull())
            QCOMPARE(jobIds(queue.printerName(), "all"), before);
    }

    void declinedPrintsNothing()
    {
        const QPrinterInfo printer = testPrinter();
        if (printer.isNull())
            NO_PRINTER(NoPrinterSkip);
        test::TestContext t;
        t.prompter.answers = {false};
        const QList<int> before = jobIds(printer.printerName(), "all");
        PrintDialog w(t.ctx, editedRecord());
        child<QCheckBox>(&w, "Check2")->setChecked(false);
        w.show();
        QCOMPARE(w.printTickedPages(), PrintOutcome::Declined);
        QCOMPARE(t.prompter.asked.size(), 1);
        QCOMPARE(t.prompter.asked.first().kind, DialogKind::ConfirmYesNo);
        QCOMPARE(t.prompter.asked.first().text, QStringLiteral("印刷を開始します。よろしいですか？"));
        QVERIFY(w.isVisible());
        QVERIFY(child<QCheckBox>(&w, "Check1")->isChecked());
        QVERIFY(!child<QCheckBox>(&w, "Check2")->isChecked());
        QCOMPARE(jobIds(printer.printerName(), "all"), before);
    }

    // Each ticked page reaches the queue as a job of its own, in page order.
    // The facility file is read at print time: a damaged one is reported and
    // the pages still print.
    void ticksBecomeJobs_data()
    {
        QTest::addColumn<QList<bool>>("ticks");
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<bool>("damagedFacility");
        QTest::newRow("all three") << QList<bool> {true, true, true} << QList<int> {1, 2, 3} << false;
        QTest::newRow("only page 2, damaged facility file")
            << QList<bool> {false, true, false} << QList<int> {2} << true;
    }
    void ticksBecomeJobs()
    {
        QFETCH(QList<bool>, ticks);
        QFETCH(QList<int>, pages);
        QFETCH(bool, damagedFacility);
        const QPrinterInfo printer = testPrinter();
        if (printer.isNull())
            NO_PRINTER(NoPrinterSkip);
        if (QStandardPaths::findExecutable("pdffonts").isEmpty())
            NO_PRINTER("poppler-utils not installed");

        test::TestContext t;
        t.makeFolders();
        const QString queue = printer.printerName();
        const QList<int> before = jobIds(queue, "all");
        PrintDialog w(t.ctx, editedRecord());
        for (int i = 0; i < 3; ++i)
            child<QCheckBox>(&w, QStringLiteral("Check%1").arg(i + 1).toLatin1())->setChecked(ticks[i]);
        w.show();
        if (damagedFacility) {
            QFile f(test::facilityFile(t.ctx.appDir));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("001:Central\r\nx\r\n");
        }

        QCOMPARE(w.printTickedPages(), PrintOutcome::Printed);
        QStringList texts {printtext::ConfirmStart};
        if (damagedFacility)
            texts << unexpectedErrorText();
        QCOMPARE(t.prompter.texts(), texts);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        if (damagedFacility)
            QVERIFY(QFile::exists(t.path("log/error.log")));

        QList<int> jobs = jobIds(queue, "all");
        for (int id : before)
            jobs.removeAll(id);
        QCOMPARE(jobs.size(), pages.size());
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QList<int> done = jobIds(queue, "completed");
                for (int id : jobs)
                    if (!done.contains(id) || jobPdf(id).isEmpty())
                        return false;
                return true;
            }(),
            120000);

        // The queue's PostScript step drops the text layer, so a job's page is
        // known by its title.
        for (int i = 0; i < jobs.size(); ++i) {
            const QString pdf = jobPdf(jobs[i]);
            const QString info = run("pdfinfo", {pdf});
            QVERIFY2(
                info.contains(QRegularExpression(QStringLiteral("Title:\\s+\\(?%1\\b").arg(summaryJobName(pages[i])))),
                qPrintable(info));
            QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
            // Portrait: upright A4, not turned (the queue's default is Letter).
            QVERIFY2(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)")),
                     qPrintable(info));
            QVERIFY2(info.contains(QRegularExpression("Page rot:\\s+0\\n")), qPrintable(info));
            QVERIFY2(minchoEmbedded(pdf), qPrintable(run("pdffonts", {pdf})));
            QFile::remove(pdf);
        }
    }

    // A queue whose printer cannot print the outer 5 mm (its PPD says so):
    // the program learns the printable area from CUPS, lays the pages out
    // inside it (the PDF tests check the words' places), and the three
    // pages print there.
    void printerWithUnprintableEdges()
    {
        if (qEnvironmentVariableIsEmpty("CUPS_SERVER"))
            NO_PRINTER(NoPrinterSkip);
        const QPrinterInfo info = QPrinterInfo::printerInfo(QStringLiteral("VeltoPDFMargins"));
        if (info.isNull())
            NO_PRINTER("no VeltoPDFMargins queue (scripts/start-printer.sh makes it)");
        {
            QPrinter printer(info, QPrinter::HighResolution);
            printer.setFullPage(true);
            print::SetupPrinter(&printer);
            const QRectF area = print::printableArea(&printer);
            QVERIFY2(
                qAbs(area.left() - 5) < 0.2 && qAbs(area.top() - 5) < 0.2 && qAbs(area.right() - 205) < 0.2
                    && qAbs(area.bottom() - 292) < 0.2,
                qPrintable(
                    QStringLiteral("%1,%2 %3x%4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height())));
        }
        const QList<int> before = jobIds(info.printerName(), "all");
        print::SystemPagePrinter printer([&] { return info; });
        QVERIFY(printer.findPrinter());
        print::SummaryInput input;
        input.record = editedRecord();
        for (int page = 1; page <= 3; ++page)
            QVERIFY(printer.printPage(*print::makeSummaryPage(page), input));
        QList<int> jobs = jobIds(info.printerName(), "all");
        for (int id : before)
            jobs.removeAll(id);
        QCOMPARE(jobs.size(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QList<int> done = jobIds(info.printerName(), "completed");
                for (int id : jobs)
                    if (!done.contains(id) || jobPdf(id).isEmpty())
                        return false;
                return true;
            }(),
            120000);
        for (int id : jobs)
            QFile::remove(jobPdf(id));
    }
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"

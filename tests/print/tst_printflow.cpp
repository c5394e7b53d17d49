// The print button's flow on a recording printer: what is refused, what is
// asked, and which pages become jobs in which order.
#include <QtTest>
#include <stdexcept>

#include "core/errorlog.h"
#include "facility/facilityinfo.h"
#include "print/printflow.h"
#include "print/printtexts.h"
#include "print/summarypages.h"
#include "support/testcontext.h"
#include "ui/systemprinter.h"

using namespace velto;
using namespace velto::print;

namespace {

struct Job {
    int page;
    QString surname;  // record key 003
    QString hospital; // as the facility file held it at print time
    QString printDate;
    int busyDepth; // busy pointers shown while the page printed
};

class CountingBusy : public BusyPointer {
public:
    int depth = 0;
    void push() override { ++depth; }
    void pop() override { --depth; }
};

class RecordingPrinter : public PagePrinter {
public:
    bool exists = true;
    QList<int> failing; // pages that fail
    int throwing = 0;   // a page that throws
    std::function<void(int)> onPage;
    const CountingBusy *busy = nullptr;

    int lookups = 0;
    QList<Job> jobs;

    bool findPrinter() override
    {
        ++lookups;
        return exists;
    }
    bool printPage(SummaryPage &page, const SummaryInput &input) override
    {
        const int n = page.pageNumber();
        if (n == throwing)
            throw std::runtime_error("printer gone");
        jobs.append(
            {n, input.record.value("003"), input.facility.hospitalName, input.printDate, busy ? busy->depth : -1});
        if (onPage)
            onPage(n);
        return !failing.contains(n);
    }
    QList<int> pages() const
    {
        QList<int> l;
        for (const Job &j : jobs)
            l << j.page;
        return l;
    }
};

PatientRecord editedRecord()
{
    PatientRecord r;
    r.setValue("003", QStringLiteral("未保存山田"));
    return r;
}

struct Fixture {
    test::TestContext t;
    CountingBusy busy;
    RecordingPrinter printer;
    QList<bool> ticks {true, true, true};

    Fixture()
    {
        t.makeFolders();
        t.ctx.busy = &busy;
        printer.busy = &busy;
    }
    PrintOutcome press()
    {
        return printTickedPages(
            t.ctx, editedRecord(), [this](int n) { return ticks[n - 1]; }, printer);
    }
};

} // namespace

class TestPrintFlow : public QObject {
    Q_OBJECT
private slots:
    // Refusals print nothing and ask nothing but their message; the printer
    // is looked up only once a page is ticked.
    void refusals_data()
    {
        QTest::addColumn<bool>("anyTicked");
        QTest::addColumn<bool>("printerExists");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lookups");
        QTest::newRow("no page ticked") << false << true << int(PrintOutcome::NothingTicked)
                                        << QStringLiteral("印刷するページを選択してください。") << 0;
        QTest::newRow("no page ticked, no printer")
            << false << false << int(PrintOutcome::NothingTicked) << printtext::NoPageTicked << 0;
        QTest::newRow("no printer") << true << false << int(PrintOutcome::NoPrinter) << printtext::NoPrinter << 1;
    }
    void refusals()
    {
        QFETCH(bool, anyTicked);
        QFETCH(bool, printerExists);
        QFETCH(int, outcome);
        QFETCH(QString, text);
        QFETCH(int, lookups);
        Fixture f;
        f.ticks = {anyTicked, anyTicked, anyTicked};
        f.printer.exists = printerExists;
        QCOMPARE(int(f.press()), outcome);
        QCOMPARE(f.t.prompter.asked.size(), 1);
        QCOMPARE(f.t.prompter.asked.first().kind, DialogKind::Error);
        QCOMPARE(f.t.prompter.asked.first().text, text);
        QCOMPARE(f.printer.lookups, lookups);
        QVERIFY(f.printer.jobs.isEmpty());
        QCOMPARE(f.busy.depth, 0);
    }

    void declinedPrintsNothing()
    {
        Fixture f;
        f.t.prompter.answers = {false};
        QCOMPARE(f.press(), PrintOutcome::Declined);
        QCOMPARE(f.t.prompter.asked.size(), 1);
        QCOMPARE(f.t.prompter.asked.first().kind, DialogKind::ConfirmYesNo);
        QCOMPARE(f.t.prompter.asked.first().text, QStringLiteral("印刷を開始します。よろしいですか？"));
        QVERIFY(f.printer.jobs.isEmpty());
        QCOMPARE(f.busy.depth, 0);
    }

    // Yes prints each ticked page as a job of its own, in page order, with
    // the record as handed over, the facility as the file holds it now and
    // today's date, under the busy pointer.
    void ticksBecomeJobs_data()
    {
        QTest::addColumn<QList<bool>>("ticks");
        QTest::addColumn<QList<int>>("pages");
        QTest::newRow("all three") << QList<bool> {true, true, true} << QList<int> {1, 2, 3};
        QTest::newRow("1 and 3") << QList<bool> {true, false, true} << QList<int> {1, 3};
        QTest::newRow("only 2") << QList<bool> {false, true, false} << QList<int> {2};
        QTest::newRow("only 3") << QList<bool> {false, false, true} << QList<int> {3};
    }
    void ticksBecomeJobs()
    {
        QFETCH(QList<bool>, ticks);
        QFETCH(QList<int>, pages);
        Fixture f;
        f.ticks = ticks;
        FacilityInfo facility;
        facility.hospitalName = QStringLiteral("中央病院");
        QVERIFY(saveFacilityInfo(f.t.ctx, facility));
        QCOMPARE(f.press(), PrintOutcome::Printed);
        QCOMPARE(f.t.prompter.texts(), QStringList {printtext::ConfirmStart});
        QCOMPARE(f.printer.lookups, 1);
        QCOMPARE(f.printer.pages(), pages);
        for (const Job &job : f.printer.jobs) {
            QCOMPARE(job.surname, QStringLiteral("未保存山田"));
            QCOMPARE(job.hospital, QStringLiteral("中央病院"));
            QCOMPARE(job.printDate, QStringLiteral("令和08年12月10日"));
            QCOMPARE(job.busyDepth, 1);
        }
        QCOMPARE(f.busy.depth, 0);
    }

    // A tick taken away while an earlier page prints is honoured.
    void ticksAreAskedBeforeEachPage()
    {
        Fixture f;
        f.printer.onPage = [&f](int page) {
            if (page == 1)
                f.ticks[2] = false;
        };
        QCOMPARE(f.press(), PrintOutcome::Printed);
        QCOMPARE(f.printer.pages(), (QList<int> {1, 2}));
    }

    // A page that fails does not stop the later ones; the failure is told once.
    void failedPageIsToldOnce()
    {
        Fixture f;
        f.printer.failing = {1, 2};
        QCOMPARE(f.press(), PrintOutcome::Failed);
        QCOMPARE(f.printer.pages(), (QList<int> {1, 2, 3}));
        QCOMPARE(f.t.prompter.texts(), (QStringList {printtext::ConfirmStart, printtext::PrintFailed}));
        QCOMPARE(f.busy.depth, 0);
    }

    void unexpectedErrorIsLogged()
    {
        Fixture f;
        f.printer.throwing = 2;
        QCOMPARE(f.press(), PrintOutcome::Failed);
        QCOMPARE(f.printer.pages(), QList<int> {1});
        QCOMPARE(f.t.prompter.texts(), (QStringList {printtext::ConfirmStart, unexpectedErrorText()}));
        QFile log(f.t.path("log/error.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromLocal8Bit(log.readAll()).contains(QStringLiteral("frmPrint.Command2_Click()")));
        QCOMPARE(f.busy.depth, 0);
    }

    // The real printer without a printer behind it: refused before the
    // question, and a page handed to it anyway is not printed.
    void systemPrinterWithoutPrinter()
    {
        Fixture f;
        SystemPagePrinter none([] { return QPrinterInfo(); });
        QCOMPARE(printTickedPages(
                     f.t.ctx, editedRecord(), [](int) { return true; }, none),
                 PrintOutcome::NoPrinter);
        QCOMPARE(f.t.prompter.texts(), QStringList {printtext::NoPrinter});
        SummaryInput input;
        QVERIFY(!none.printPage(*makeSummaryPage(1), input));
    }
};

QTEST_MAIN(TestPrintFlow)
#include "tst_printflow.moc"

// The three summary pages of a complete record written as PDF, against one
// empty PDF page.
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "benchutil.h"
#include "print/paintercanvas.h"
#include "print/summarypages.h"
#include "ui/systemprinter.h"

using namespace velto;
using namespace velto::bench;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = runsFrom(argc, argv, 15);

    Ward ward;
    ward.writeFacility();
    print::SummaryInput input;
    input.record = completeRecord(0);
    if (!loadFacilityInfo(ward.ctx, &input.facility))
        qFatal("facility not read");
    input.printDate = ward.ctx.todayEraDate;

    QTemporaryDir out;
    const double pages = timeMedian(runs, [&] {
        if (print::writeSummaryPdfs(input, out.path(), QStringLiteral("summary")).size() != 3)
            qFatal("pages not written");
    });
    const double empty = timeMedian(runs, [&] {
        QPdfWriter writer(out.filePath("empty.pdf"));
        QPainter p;
        if (!p.begin(&writer))
            qFatal("empty page not written");
        p.end();
    });
    printRow("summary, 3 pages to PDF", pages, empty, "one empty PDF page", {0, 100});

    // The same pages as the nurse prints them: to the default CUPS queue
    // (scripts/bench.sh starts a private one), timed until the queue has
    // accepted the three jobs, the printer's lookup included.
    if (qEnvironmentVariableIsSet("CUPS_SERVER")) {
        print::SystemPagePrinter printer;
        const double queued = timeMedian(runs, [&] {
            if (!printer.findPrinter())
                qFatal("no default printer");
            for (int n = 1; n <= 3; ++n) {
                const std::unique_ptr<print::SummaryPage> page = print::makeSummaryPage(n);
                if (!printer.printPage(*page, input))
                    qFatal("page %d not accepted", n);
            }
        });
        printRow("summary, 3 pages accepted by the CUPS queue (printer lookup included)", queued, pages,
                 "the same pages to PDF", {});
    }
    return 0;
}

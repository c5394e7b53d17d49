// The three summary pages of a complete record written as PDF, against one
// empty PDF page.
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "benchutil.h"
#include "print/paintercanvas.h"

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
    return 0;
}

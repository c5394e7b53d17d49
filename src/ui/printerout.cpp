#include "printerout.h"

#include <QPrinter>
#include <memory>

#include "core/appcontext.h"
#include "core/busy.h"
#include "core/eradate.h"
#include "core/errorlog.h"
#include "facility/facilityinfo.h"
#include "print/paintercanvas.h"
#include "print/summarypages.h"

namespace velto {

namespace {

std::unique_ptr<print::SummaryPage> makePage(int number)
{
    switch (number) {
    case 1: return std::make_unique<print::SummaryPage1>();
    case 2: return std::make_unique<print::SummaryPage2>();
    case 3: return std::make_unique<print::SummaryPage3>();
    default: return nullptr;
    }
}

// One page as one job. QPrinter quietly falls back to another printer or to
// a PDF writer without a file, so the printer must be the one asked for and
// a real one.
bool printPage(print::SummaryPage &page, const print::SummaryInput &input,
               const QPrinterInfo &info)
{
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat
        || printer.printerName() != info.printerName())
        return false;
    printer.setDocName(summaryJobName(page.pageNumber()));
    printer.setFullPage(true);
    printer.setCopyCount(1);
    printer.setColorMode(QPrinter::Color);
    return print::PrintSummaryPage(page, input, &printer);
}

bool printWhere(AppContext &ctx, const PatientRecord &record,
                const std::function<bool(int)> &ticked, const QPrinterInfo &printer)
{
    if (printer.isNull())
        return false;
    print::SummaryInput input;
    input.record = record;
    // Page 3 prints the facility as the file holds it now; a damaged file
    // has been reported and leaves what could be read.
    loadFacilityInfo(ctx, &input.facility);
    input.printDate = getNowDate(ctx);

    bool allPrinted = true;
    for (int number = 1; number <= 3; ++number) {
        if (!ticked(number))
            continue;
        auto page = makePage(number);
        if (!printPage(*page, input, printer))
            allPrinted = false;
    }
    return allPrinted;
}

} // namespace

QString summaryJobName(int page)
{
    return QStringLiteral("Velto summary page %1").arg(page);
}

bool printPages(AppContext &ctx, const PatientRecord &record, QList<int> pages,
                const QPrinterInfo &printer)
{
    return printWhere(ctx, record, [&pages](int n) { return pages.contains(n); }, printer);
}

PrintOutcome printTickedPages(AppContext &ctx, const PatientRecord &record,
                              const std::function<bool(int)> &ticked,
                              const std::function<QPrinterInfo()> &printer)
{
    try {
        if (!ticked(1) && !ticked(2) && !ticked(3)) {
            ctx.prompter->errorMsg(printtext::NoPageTicked);
            return PrintOutcome::NothingTicked;
        }
        // Checked before the question: without a printer the pages would
        // otherwise vanish while the dialog closes as if they were printed.
        QPrinterInfo target = printer();
        if (target.isNull()) {
            ctx.prompter->errorMsg(printtext::NoPrinter);
            return PrintOutcome::NoPrinter;
        }
        BusyGuard shown(ctx.busy);
        if (!ctx.prompter->confirmYesNo(printtext::ConfirmStart))
            return PrintOutcome::Declined;
        const bool ok = printWhere(ctx, record, ticked, target);
        shown.release();
        if (!ok) {
            ctx.prompter->errorMsg(printtext::PrintFailed);
            return PrintOutcome::Failed;
        }
        return PrintOutcome::Printed;
    } catch (...) {
    }
    writeErrorLog(ctx, printtext::ErrorProcedure);
    return PrintOutcome::Failed;
}

} // namespace velto

#include "printflow.h"

#include "core/appcontext.h"
#include "core/busy.h"
#include "core/eradate.h"
#include "core/errorlog.h"
#include "facility/facilityinfo.h"
#include "printtexts.h"
#include "summarypages.h"

namespace velto::print {

QString summaryJobName(int page)
{
    return QStringLiteral("Velto summary page %1").arg(page);
}

PrintOutcome printTickedPages(AppContext &ctx, const PatientRecord &record, const std::function<bool(int)> &ticked,
                              PagePrinter &printer)
{
    try {
        if (!ticked(1) && !ticked(2) && !ticked(3)) {
            ctx.prompter->errorMsg(printtext::NoPageTicked);
            return PrintOutcome::NothingTicked;
        }
        // Checked before the question: without a printer the pages would
        // otherwise vanish while the dialog closes as if they were printed.
        if (!printer.findPrinter()) {
            ctx.prompter->errorMsg(printtext::NoPrinter);
            return PrintOutcome::NoPrinter;
        }
        BusyGuard shown(ctx.busy);
        if (!ctx.prompter->confirmYesNo(printtext::ConfirmStart))
            return PrintOutcome::Declined;

        SummaryInput input;
        input.record = record;
        // Page 3 prints the facility as the file holds it now; a damaged file
        // has been reported and leaves what could be read.
        loadFacilityInfo(ctx, &input.facility);
        input.printDate = getNowDate(ctx);
        bool allPrinted = true;
        for (int number = 1; number <= 3; ++number) {
            if (!ticked(number))
                continue;
            auto page = makeSummaryPage(number);
            if (!printer.printPage(*page, input))
                allPrinted = false;
        }
        shown.release();
        if (!allPrinted) {
            ctx.prompter->errorMsg(printtext::PrintFailed);
            return PrintOutcome::Failed;
        }
        return PrintOutcome::Printed;
    } catch (...) { }
    writeErrorLog(ctx, printtext::ErrorProcedure);
    return PrintOutcome::Failed;
}

} // namespace velto::print

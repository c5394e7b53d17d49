#pragma once
// The print button without the widgets: the tick check, the printer check,
// the question and one job per ticked page, on any PagePrinter.
#include <QString>
#include <functional>

#include "record/patientrecord.h"
#include "summarypage.h"

namespace velto {
struct AppContext;
}

namespace velto::print {

// Where the summary's pages go: the system's printer, or a recorder in tests.
class PagePrinter {
public:
    virtual ~PagePrinter() = default;
    // Looks the printer up; false when there is none to print on. Asked once,
    // only after a page is known to be ticked.
    virtual bool findPrinter() = 0;
    // Lays out, fills and prints one page as a job of its own; false when the
    // page could not be printed.
    virtual bool printPage(SummaryPage &page, const SummaryInput &input) = 0;
};

// The queue's job name for a page: no patient data, as any user may list the queue.
QString summaryJobName(int page);

// What the print button ended with; only Printed closes the dialog.
enum class PrintOutcome { NothingTicked, NoPrinter, Declined, Printed, Failed };

// The print button. Refuses when no page is ticked or there is no printer,
// asks before printing, then reloads the facility information and prints
// each ticked page of 1, 2, 3 in that order; a failed page is reported once
// at the end, and later pages are still tried. `ticked` is asked again just
// before each page. Messages go to ctx.prompter.
PrintOutcome printTickedPages(AppContext &ctx, const PatientRecord &record, const std::function<bool(int page)> &ticked,
                              PagePrinter &printer);

} // namespace velto::print

#pragma once
// The summary on the system's default printer: the print button without the
// widgets, and the page jobs themselves.
#include <QList>
#include <QPrinterInfo>
#include <QString>
#include <functional>

#include "print/printtexts.h"
#include "record/patientrecord.h"

namespace velto {
struct AppContext;


// The queue's job name for a page: no patient data, as any user may list the queue.
QString summaryJobName(int page);

// Reloads the facility information, then prints each of pages 1, 2, 3 that
// `pages` holds, in that order, each as a print job of its own on `printer`
// (A4 portrait, full page). False when the printer is null or not a real
// printer, or when any page could not be printed; later pages are still tried.
bool printPages(AppContext &ctx, const PatientRecord &record, QList<int> pages,
                const QPrinterInfo &printer);

// What the print button ended with; only Printed closes the dialog.
enum class PrintOutcome { NothingTicked, NoPrinter, Declined, Printed, Failed };

// The print button: the tick check, the question, the pages. `ticked` is
// asked again just before each page; `printer` is asked for the printer to
// use (the system's default in the dialog). Messages go to ctx.prompter.
PrintOutcome printTickedPages(AppContext &ctx, const PatientRecord &record,
                              const std::function<bool(int page)> &ticked,
                              const std::function<QPrinterInfo()> &printer);

} // namespace velto

#pragma once
// The print dialog over the record window: which summary pages to print.
#include <QDialog>
#include <QPrinterInfo>
#include <functional>

#include "print/printflow.h"
#include "print/printtexts.h"
#include "record/patientrecord.h"

class QCheckBox;
class QPushButton;

namespace velto {
struct AppContext;

class PrintDialog : public QDialog {
    Q_OBJECT
public:
    // `record` is the record window's values as they stand, saved or not.
    PrintDialog(AppContext &ctx, const PatientRecord &record, QWidget *parent = nullptr);

    // Where the pages go; the system's default printer unless replaced.
    void setPrinterSource(std::function<QPrinterInfo()> source) { m_printerSource = std::move(source); }

    // The print button; closes the dialog only after every page was printed.
    print::PrintOutcome printTickedPages();

private:
    AppContext &m_ctx;
    PatientRecord m_record;
    std::function<QPrinterInfo()> m_printerSource;
    QCheckBox *m_pageChecks[3] = {};
};

// Opens the print dialog modally over `parent` (the record window).
void openPrintDialog(AppContext &ctx, const PatientRecord &record, QWidget *parent);

} // namespace velto

#pragma once
// Summary pages as jobs on a real printer, through QPrinter (PrintSupport
// brings Widgets with it, so this lives beside the windows).
#include <QPrinterInfo>
#include <functional>

#include "print/printflow.h"

namespace velto::print {

class SystemPagePrinter : public PagePrinter {
public:
    // `source` names the printer when asked (the system's default by default).
    explicit SystemPagePrinter(std::function<QPrinterInfo()> source = &QPrinterInfo::defaultPrinter);

    bool findPrinter() override;
    // A4 portrait, full page, one copy, in colour, named by summaryJobName().
    bool printPage(SummaryPage &page, const SummaryInput &input) override;

private:
    std::function<QPrinterInfo()> m_source;
    QPrinterInfo m_printer;
};

} // namespace velto::print

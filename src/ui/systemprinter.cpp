#include "systemprinter.h"

#include <QPrinter>

#include "print/paintercanvas.h"

namespace velto::print {

SystemPagePrinter::SystemPagePrinter(std::function<QPrinterInfo()> source)
    : m_source(std::move(source))
{ }

bool SystemPagePrinter::findPrinter()
{
    m_printer = m_source ? m_source() : QPrinterInfo();
    return !m_printer.isNull();
}

bool SystemPagePrinter::printPage(SummaryPage &page, const SummaryInput &input)
{
    if (m_printer.isNull())
        return false;
    // QPrinter quietly falls back to another printer or to a PDF writer
    // without a file, so the printer must be the one asked for and a real one.
    QPrinter printer(m_printer, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat
        || printer.printerName() != m_printer.printerName())
        return false;
    printer.setDocName(summaryJobName(page.pageNumber()));
    printer.setFullPage(true);
    printer.setCopyCount(1);
    printer.setColorMode(QPrinter::Color);
    return PrintSummaryPage(page, input, &printer);
}

} // namespace velto::print

#include "summarypages.h"

namespace velto::print {

std::unique_ptr<SummaryPage> makeSummaryPage(int number)
{
    switch (number) {
    case 1:
        return std::make_unique<SummaryPage1>();
    case 2:
        return std::make_unique<SummaryPage2>();
    case 3:
        return std::make_unique<SummaryPage3>();
    default:
        return nullptr;
    }
}

} // namespace velto::print

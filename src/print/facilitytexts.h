#pragma once
// The nine facility texts page 3 prints, as the facility layer reads them.
#include "facility/facilityinfo.h"

namespace velto::print {

using FacilityTexts = velto::FacilityInfo;

} // namespace velto::print

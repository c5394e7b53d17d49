#include "facilityformexit.h"

namespace velto {

FacilityFormExit::FacilityFormExit(bool cancelDisabled, bool maySave)
    : m_locked(cancelDisabled && maySave)
    , m_firstStart(m_locked)
{ }

bool FacilityFormExit::okPressed(const FacilityOkResult &result)
{
    if (result.closeForm) {
        m_saved = true;
        return true;
    }
    if (result.writeFailed)
        m_locked = false;
    return false;
}

bool FacilityFormExit::cancelPressed()
{
    if (m_locked)
        return false;
    m_endsProgram = m_firstStart;
    return true;
}

} // namespace velto

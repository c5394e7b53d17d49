#pragma once
// When the facility form may be left. Opened locked at the first start,
// only a successful OK leaves it; a write that fails unlocks it, as a disk
// that keeps refusing must not hold the user there forever.
#include "facilityinfo.h"

namespace velto {

class FacilityFormExit {
public:
    // cancelDisabled: the first start. An account that may not save could
    // never leave a locked form, so it is never locked.
    FacilityFormExit(bool cancelDisabled, bool maySave);

    // Cancel, Escape and the close box do nothing while locked.
    bool locked() const { return m_locked; }
    bool saved() const { return m_saved; }
    // The first-start form was left without saving: the program ends.
    bool endsProgram() const { return m_endsProgram; }

    // OK with its result; true when the form closes.
    bool okPressed(const FacilityOkResult &result);
    // Cancel, Escape or the close box; true when the form closes.
    bool cancelPressed();

private:
    bool m_locked;
    bool m_firstStart;
    bool m_saved = false;
    bool m_endsProgram = false;
};

} // namespace velto

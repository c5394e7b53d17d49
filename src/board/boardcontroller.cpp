#include "boardcontroller.h"

#include "admission.h"
#include "backup/snapshot.h"
#include "core/appcontext.h"
#include "store/wardstore.h"
#include "wardlayout.h"

namespace velto {

BoardController::BoardController(AppContext &ctx)
    : m_ctx(ctx)
{
    if (m_ctx.store)
        m_ctx.store->setChangeListener([this](WardStore::Event e) { storeEvent(e); });
}

BoardController::~BoardController()
{
    if (m_ctx.store)
        m_ctx.store->setChangeListener({});
}

void BoardController::storeEvent(WardStore::Event event)
{
    switch (event) {
    case WardStore::Event::Changed:
        otherTerminalChanged();
        return;
    case WardStore::Event::Lost:
        // The last state stays on the board, read-only, with the banner.
        m_ctx.storeFault = storetext::ServerLost;
        if (m_onReloaded)
            m_onReloaded();
        return;
    case WardStore::Event::Regained:
        m_ctx.storeFault.clear();
        otherTerminalChanged();
        if (m_onReloaded)
            m_onReloaded(); // the banner goes even when the reload waits
        return;
    }
}

void BoardController::otherTerminalChanged()
{
    if (m_held || (m_holdCheck && m_holdCheck())) {
        m_reloadPending = true;
        return;
    }
    m_reloadPending = false;
    if (!showsToday()) {
        // A past day does not change; the date list is read again on the
        // way back to today.
        m_changedWhileAway = true;
        return;
    }
    m_changedWhileAway = false;
    m_dates = buildDateList(m_ctx);
    m_model.reset();
    loadWardLayout(m_ctx, m_model, QString());
    if (m_onReloaded)
        m_onReloaded();
}

void BoardController::setHeld(bool held)
{
    m_held = held;
    if (!held && m_reloadPending)
        otherTerminalChanged();
}

void BoardController::load()
{
    m_selectedBed = 0;
    m_ctx.displayDateIndex = 0;
    m_dates = buildDateList(m_ctx);
    m_model.reset();
    loadWardLayout(m_ctx, m_model, QString());
}

bool BoardController::selectBed(int bed)
{
    if (!BoardModel::isBed(bed))
        return false;
    m_selectedBed = bed;
    return true;
}

int BoardController::displayDateIndex() const
{
    return m_ctx.displayDateIndex;
}

bool BoardController::changeDisplayDate(int index)
{
    if (!velto::changeDisplayDate(m_ctx, m_model, m_dates, index))
        return false;
    if (index == 0 && m_changedWhileAway) {
        // Another terminal took or deleted a snapshot meanwhile.
        m_changedWhileAway = false;
        m_dates = buildDateList(m_ctx);
        if (m_onReloaded)
            m_onReloaded();
    }
    return true;
}

QStringList BoardController::currentDateList() const
{
    return buildDateList(m_ctx);
}

BoardState BoardController::state() const
{
    return boardState(m_ctx, m_model, m_selectedBed);
}

bool BoardController::canStartMove(int bed) const
{
    return canStartBedMove(m_ctx, m_model, bed);
}

bool BoardController::moveBed(int source, int target)
{
    return velto::moveBed(m_ctx, m_model, source, target);
}

bool BoardController::discharge(int bed)
{
    return dischargePatient(m_ctx, m_model, bed);
}

bool BoardController::erase(int bed)
{
    return erasePatient(m_ctx, m_model, bed);
}

bool BoardController::setRoomNumber(int bed, BoardOrigin origin, const RoomNumberDialog &dialog)
{
    return velto::setRoomNumber(m_ctx, m_model, bed, origin, dialog);
}

bool BoardController::setRoomColour(int bed, BoardOrigin origin, const RoomColourDialog &dialog)
{
    return velto::setRoomColour(m_ctx, m_model, bed, origin, dialog);
}

void BoardController::recordSaved(int bed, const QString &key)
{
    // The layout naming key was saved with the record.
    if (!BoardModel::isBed(bed))
        return;
    m_model.setBedEntry(bed, key);
    LayoutLines stored;
    QString error;
    if (wardLayoutLines(m_model, &stored, &error))
        m_model.setStoredLayout(stored);
}

bool BoardController::layoutWithBedEntry(int bed, const QString &key, WardChange *change)
{
    return velto::layoutWithBedEntry(m_ctx, m_model, bed, key, change);
}

bool BoardController::keyTakenByOtherBed(int bed, const QString &key) const
{
    return entryInUse(m_model, key, bed);
}

bool BoardController::saveLayout()
{
    return saveWardLayout(m_ctx, m_model) == LayoutSaveResult::Saved;
}

bool BoardController::close()
{
    // Today's layout is written whenever the account may write it, not only
    // with the automatic backup: otherwise admissions and moves made since
    // the last save would be gone at the next start.
    if (layoutSavePermitted(m_ctx))
        saveLayout();
    return autoBackupDue(m_ctx);
}

} // namespace velto

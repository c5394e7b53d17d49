#include "bedops.h"

#include "boardhistory.h"
#include "boardmodel.h"
#include "core/appcontext.h"
#include "wardlayout.h"

namespace velto {

namespace {

bool restricted(const AppContext &ctx)
{
    return isRestricted(ctx.currentAccount.authority);
}

} // namespace

bool canStartBedMove(const AppContext &ctx, const BoardModel &model, int bed)
{
    return ctx.canChange() && model.isOccupied(bed);
}

bool moveBed(AppContext &ctx, BoardModel &model, int source, int target)
{
    if (!BoardModel::isBed(source) || !BoardModel::isBed(target) || source == target)
        return false;
    // A drag is only started on an editable board; a drop that arrives
    // otherwise must not rearrange a snapshot or a read-only board.
    if (!ctx.canChange())
        return false;
    if (model.bedEntry(source) == model.bedEntry(target))
        return false;
    const QList<HistoryEvent> events = bedMoveEvents(ctx, model, source, target);
    model.exchangeBeds(source, target);
    // Saved at once: a move must not be lost to a crash before the next save.
    // Unsaved, the board goes back to what the files hold.
    switch (saveWardLayout(ctx, model, events)) {
    case LayoutSaveResult::Saved:
    case LayoutSaveResult::Conflict: // the board shows the store's beds now
        return true;
    case LayoutSaveResult::NotPermitted:
    case LayoutSaveResult::Failed:
        break;
    }
    model.exchangeBeds(source, target);
    return false;
}

QString roomNumberDialogText(const AppContext &ctx, const BoardModel &model, int bed)
{
    if (restricted(ctx))
        return QString();
    return model.roomNumber(BoardModel::roomOf(bed));
}

bool setRoomNumber(AppContext &ctx, BoardModel &model, int bed, BoardOrigin origin, const RoomNumberDialog &dialog)
{
    const bool fromPopup = origin == BoardOrigin::PopupMenu;
    if (fromPopup && restricted(ctx))
        return false;
    if (!BoardModel::isBed(bed) || !dialog)
        return false;
    const int room = BoardModel::roomOf(bed);
    const QString before = model.roomNumber(room);
    if (const std::optional<QString> typed = dialog(roomNumberDialogText(ctx, model, bed)))
        model.setRoomNumber(room, *typed);
    // A number the files did not take is not kept on the board.
    const LayoutSaveResult saved = saveWardLayout(ctx, model, roomNumberEvents(ctx, model, room, before));
    if (saved == LayoutSaveResult::Conflict)
        return true;
    if (saved != LayoutSaveResult::Saved)
        model.setRoomNumber(room, before);
    return model.roomNumber(room) != before;
}

bool setRoomColour(AppContext &ctx, BoardModel &model, int bed, BoardOrigin origin, const RoomColourDialog &dialog)
{
    // The menu bar item relies on being disabled for restricted accounts.
    if (origin != BoardOrigin::MenuBar && restricted(ctx))
        return false;
    if (!BoardModel::isBed(bed) || !dialog)
        return false;
    const int room = BoardModel::roomOf(bed);
    const int before = model.roomColour(room);
    if (const std::optional<int> chosen = dialog(before))
        model.setRoomColour(room, *chosen);
    const LayoutSaveResult saved = saveWardLayout(ctx, model, roomColourEvents(ctx, model, room, before));
    if (saved == LayoutSaveResult::Conflict)
        return true;
    if (saved != LayoutSaveResult::Saved)
        model.setRoomColour(room, before);
    return model.roomColour(room) != before;
}

} // namespace velto

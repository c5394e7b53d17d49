#pragma once
// Bed moves, room numbers and room colours: they rearrange the board and
// never touch a patient's record file.
#include <QString>
#include <functional>
#include <optional>

#include "core/textfile.h"

namespace velto {
struct AppContext;
class BoardModel;

// Where an operation was chosen; it decides the checks (every origin saves).
enum class BoardOrigin { PopupMenu, MenuBar, Toolbar };

namespace roomnumbertext {
inline const QString Caption = QStringLiteral("部屋番号設定");              // frmSet
inline const QString Prompt = QStringLiteral("部屋番号を設定してください"); // Label1
inline const QString Ok = QStringLiteral("OK(&O)");                         // Command1
inline const QString OkTip = QStringLiteral("設定して終了します");
inline const QString Cancel = QStringLiteral("ｷｬﾝｾﾙ(&C)"); // Command2
inline const QString CancelTip = QStringLiteral("設定せず終了します");
inline const QString FieldName = QStringLiteral("部屋番号"); // in messages
} // namespace roomnumbertext

// The room number dialog's OK: the message refusing a number the layout
// file cannot hold, or empty when the number may be kept. Refused there,
// since a number already on the board would make every layout save fail.
inline QString roomNumberRefusal(const QString &typed)
{
    return textfile::fieldRefusal(roomnumbertext::FieldName, typed);
}

// A move starts only from an occupied bed on an editable board.
bool canStartBedMove(const AppContext &ctx, const BoardModel &model, int bed);

// The bed source, picked up, is dropped on bed target: the two beds
// exchange entries and captions and the layout is saved at once. Nothing
// is asked. Returns whether the board changed.
bool moveBed(AppContext &ctx, BoardModel &model, int source, int target);

// Text the room number dialog starts with for bed's room.
QString roomNumberDialogText(const AppContext &ctx, const BoardModel &model, int bed);

// Shows the room number dialog: given its starting text, returns the text
// as typed, or nothing on Cancel.
using RoomNumberDialog = std::function<std::optional<QString>(const QString &initialText)>;
// Shows the colour chooser: given the room's colour (stored form), returns
// the chosen colour, or nothing on Cancel.
using RoomColourDialog = std::function<std::optional<int>(int currentColour)>;

// Room number of bed's room. From the popup menu a restricted
// account gets nothing. The layout is saved afterwards from every origin,
// even on Cancel (the save itself refuses restricted accounts and snapshot
// days). Returns whether the room number changed.
bool setRoomNumber(AppContext &ctx, BoardModel &model, int bed, BoardOrigin origin, const RoomNumberDialog &dialog);

// Room colour of bed's room. From the popup menu and the
// toolbar a restricted account gets nothing. The layout is saved afterwards
// from every origin. Cancel keeps the colour.
bool setRoomColour(AppContext &ctx, BoardModel &model, int bed, BoardOrigin origin, const RoomColourDialog &dialog);

} // namespace velto

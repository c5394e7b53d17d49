#pragma once
// The three ward layout files and the board's list of display dates.
#include <QString>
#include <QStringList>

namespace velto {
struct AppContext;
class BoardModel;

namespace layoutfile {
inline const QString Beds = QStringLiteral("ROOM.WBD");          // 240 bed entries
inline const QString RoomNumbers = QStringLiteral("ROOM_NO.WBD"); // 30 room numbers
inline const QString RoomColours = QStringLiteral("ROOM_COL.WBD"); // 30 stored colours
} // namespace layoutfile

// Reads the layout files of folder into the model. A missing file ends the
// loading quietly at that file; beds and rooms beyond a file's last line
// keep their state. Any other failure is reported under
// "frmRoom.NewLoad()" and what was read before it stays. Returns false
// only after such a report.
bool NewLoad(AppContext &ctx, BoardModel &model, const QString &folder);

enum class LayoutSaveResult { Saved, NotPermitted, Failed };

// Writes the model whole (240, 30 and 30 lines) into "DB". Only a full
// authority account on today's board writes. A value the files cannot hold
// is shown to the user and no file is touched; a disk failure is reported
// under "frmRoom.Command1_Click()".
LayoutSaveResult Command1_Click(AppContext &ctx, const BoardModel &model);

// The user's message when the layout cannot be saved; detail names why.
QString layoutNotSavedText(const QString &detail);

// Length of a snapshot folder's name (an era date).
constexpr int SnapshotNameLength = 11;

// The display dates: today first, then one entry per snapshot folder (in
// ascending name order) whose name's last 11 characters are not leaveOut.
// Names shorter than 11 characters are no snapshots and are left out.
QStringList buildDateList(const QString &todayEraDate, const QStringList &backupSubfolders,
                          const QString &leaveOut);
// The same from "BackUp" on disk, leaving out today's snapshot by the clock.
QStringList buildDateList(AppContext &ctx);

// Folder of date entry index: "DB" for 0, else "BackUp/<entry>"; empty for
// an index outside the list.
QString layoutFolder(const AppContext &ctx, const QStringList &dateList, int index);

// The board's change of display date to entry index. Leaving today saves
// today's layout first; if that save fails the board stays on today (so no
// unsaved change is dropped) and false is returned. Otherwise
// ctx.displayDateIndex becomes index and its layout is loaded.
bool changeDisplayDate(AppContext &ctx, BoardModel &model, const QStringList &dateList, int index);

} // namespace velto

#pragma once
// The three ward layout files and the board's list of display dates.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace velto {
struct AppContext;
class BoardModel;

namespace layoutfile {
inline const QString Beds = QStringLiteral("ROOM.WBD");            // 240 bed entries
inline const QString RoomNumbers = QStringLiteral("ROOM_NO.WBD");  // 30 room numbers
inline const QString RoomColours = QStringLiteral("ROOM_COL.WBD"); // 30 stored colours
} // namespace layoutfile

// Reads the layout files of folder into the model. A missing file ends the
// loading quietly at that file; beds and rooms beyond a file's last line
// keep their state; empty lines after a file's last entry are no fault. Any
// other failure (an undecodable line, a line too many, a bad colour) is
// reported under "frmRoom.NewLoad()" and what was read before it stays.
// Returns false only after such a report; when folder is today's ("DB"),
// the board is then read-only for the run (ctx.layoutFault names the file
// and line), so a partly read board never overwrites the files.
bool loadWardLayout(AppContext &ctx, BoardModel &model, const QString &folder);

// The board's status text while it is read-only because today's layout did
// not load whole; empty otherwise.
QString layoutReadOnlyText(const AppContext &ctx);

// The three layout files of the model as they would be saved into "DB",
// for a change that writes them with other files. Fails (with *error) when
// a value cannot be held by the files.
bool encodeWardLayout(const AppContext &ctx, const BoardModel &model, QList<QPair<QString, QByteArray>> *files,
                      QString *error);

// The same with bed naming entry instead, the model left as it is; when the
// files cannot hold a value the user is told and false returned.
bool layoutWithBedEntry(AppContext &ctx, const BoardModel &model, int bed, const QString &entry,
                        QList<QPair<QString, QByteArray>> *files);

enum class LayoutSaveResult { Saved, NotPermitted, Failed };

// Whether the layout may be written at all: a full authority account on
// today's board whose layout loaded whole.
bool layoutSavePermitted(const AppContext &ctx);

// Writes the model whole (240, 30 and 30 lines) into "DB". Only a full
// authority account on today's board writes, and only when today's layout
// loaded whole. A value the files cannot hold
// is shown to the user and no file is touched; a disk failure is reported
// under "frmRoom.Command1_Click()".
LayoutSaveResult saveWardLayout(AppContext &ctx, const BoardModel &model);

// The user's message when the layout cannot be saved; detail names why.
QString layoutNotSavedText(const QString &detail);

// Length of a snapshot folder's name (an era date).
constexpr int SnapshotNameLength = 11;

// The display dates: today first, then one entry per snapshot folder (in
// ascending name order) whose name's last 11 characters are not leaveOut.
// Names shorter than 11 characters are no snapshots and are left out.
QStringList buildDateList(const QString &todayEraDate, const QStringList &backupSubfolders, const QString &leaveOut);
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

#pragma once
// The three ward layout files and the board's list of display dates.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "backup/snapshot.h" // the date list
#include "store/wardstore.h"

namespace velto {
struct AppContext;
class BoardModel;

// Reads the stored layout of today (an empty snapshot name) or of a snapshot
// into the model. A missing part ends the loading quietly there; beds and rooms beyond a file's last line
// keep their state; empty lines after a file's last entry are no fault. Any
// other failure (an undecodable line, a line too many, a bad colour) is
// reported under "frmRoom.NewLoad()" and what was read before it stays.
// Returns false only after such a report; when it is today's layout, the board is then read-only for the run
// (ctx.layoutFault names the file and line), so a partly read board never overwrites the files.
bool loadWardLayout(AppContext &ctx, BoardModel &model, const QString &snapshot);

// The board's status text while it is read-only because the ward's server
// cannot be reached or today's layout did not load whole; empty otherwise.
QString layoutReadOnlyText(const AppContext &ctx);

// The model's layout as it would be stored. Fails (with *error) when a
// value cannot be held by the files.
bool wardLayoutLines(const BoardModel &model, LayoutLines *layout, QString *error);
// The same with bed naming entry instead, the model left as it is; when the
// files cannot hold a value the user is told and false returned.
// The change gets the layout and its base (the board's stored layout).
bool layoutWithBedEntry(AppContext &ctx, const BoardModel &model, int bed, const QString &entry, WardChange *change);
enum class LayoutSaveResult {
    Saved,
    NotPermitted,
    Failed,
    Conflict, // another terminal changed it first: the board now shows the store
};

// Whether the layout may be written at all: a full authority account on
// today's board whose layout loaded whole.
bool layoutSavePermitted(const AppContext &ctx);

// Writes the model whole (240, 30 and 30 lines) into "DB". Only a full
// authority account on today's board writes, and only when today's layout
// loaded whole. A value the files cannot hold
// is shown to the user and no file is touched; a disk failure is reported
// under "frmRoom.Command1_Click()".
LayoutSaveResult saveWardLayout(AppContext &ctx, BoardModel &model, const QList<HistoryEvent> &events = {});
// "他の端末で変更されました。" / "最新の状態を表示します。"
QString changedElsewhereText();
// After a refused change: the user is told, and the board shows today's
// layout as the store holds it now.
void showChangedElsewhere(AppContext &ctx, BoardModel &model);

// The user's message when the layout cannot be saved; detail names why.
QString layoutNotSavedText(const QString &detail);

// The snapshot of date entry index: empty for today (0) and for an index
// outside the list.
QString snapshotAt(const QStringList &dateList, int index);

// The board's change of display date to entry index. Leaving today saves
// today's layout first; if that save fails the board stays on today (so no
// unsaved change is dropped) and false is returned. Otherwise
// ctx.displayDateIndex becomes index and its layout is loaded.
bool changeDisplayDate(AppContext &ctx, BoardModel &model, const QStringList &dateList, int index);

} // namespace velto

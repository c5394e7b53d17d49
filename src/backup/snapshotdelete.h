#pragma once
// The snapshot deletion window's logic.
//
// The list shows each folder of "BackUp" by its own whole name, and a
// deletion removes exactly the folder of that name. So folders with names
// shorter (or longer) than a day name are listed and deleted like any other,
// and no listed text ever stands for a different folder.
#include <QString>
#include <QStringList>

namespace velto {
struct AppContext;

namespace backupdeltext {
inline const QString caption = QStringLiteral("バックアップデータ削除");
inline const QString buttonDelete = QStringLiteral("削除(&D)");
inline const QString tipDelete = QStringLiteral("削除して終了します");
inline const QString buttonDeleteAll = QStringLiteral("全て削除(&A)");
inline const QString tipDeleteAll = QStringLiteral("全て削除して終了します");
inline const QString buttonCancel = QStringLiteral("ｷｬﾝｾﾙ(&C)");
inline const QString tipCancel = QStringLiteral("削除せず終了します");
} // namespace backupdeltext

// Whether Command1 and Command3 are enabled.
bool canDeleteSnapshots(const AppContext &ctx);

// The folders of "BackUp" in name order (real folders only, no links).
QStringList listSnapshots(const AppContext &ctx);

// Activation: the list to show; with no snapshot at all the user is told so
// and hide is true.
struct SnapshotListing {
    QStringList names;
    bool hide = false;
};
SnapshotListing activateSnapshotList(AppContext &ctx);

// Removes "BackUp/" + name with everything in it. Refuses names that are
// empty, "." or "..", contain a separator, or are links or lead out of
// "BackUp"; links inside are removed, never followed. The deletion is
// recorded in the history with it.
bool removeSnapshot(AppContext &ctx, const QString &name, QString *error);

enum class DeleteMode { Marked = 1, All = 2 };

struct DelClickResult {
    bool closeWindow = false;
    bool deleted = false;   // something was attempted: refill the lists
    QStringList listNames;  // List1 anew
    QStringList boardDates; // cmbDate anew: TodayEraDate, then the others
};
// Command1 (Marked, the marked names in list order) and Command3 (All).
// Asks first (No keeps the window open and the marks as they are).
DelClickResult delClick(AppContext &ctx, DeleteMode mode, const QStringList &listed, const QStringList &marked);

} // namespace velto

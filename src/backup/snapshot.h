#pragma once
// Day snapshots: every ordinary file directly in "DB" (hidden ones and
// code page 932 byte names included, staging files not) copied into
// "BackUp/" + the era date of the day (never "DB/Out").
#include <QString>
#include <QStringList>

namespace velto {
struct AppContext;

namespace backuptext {
inline const QString caption = QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ");
inline const QString labelAuto = QStringLiteral("自動バックアップ中・・・");
inline const QString labelManual = QStringLiteral("バックアップ中・・・");
// Heads the list of files a backup could not copy, one per line.
inline const QString notCopied
    = QStringLiteral("次のファイルをバックアップできませんでした。\rバックアップは完了していません。");
} // namespace backuptext

// Free bytes below which the backup warns (it goes on all the same).
constexpr qint64 kLowDiskBytes = 500000000;

// The warning text; volume is a drive letter or, without one, a mount point.
QString lowDiskMessage(const QString &volume);
// Shows the warning when freeBytes (known, i.e. >= 0) is below the limit.
bool warnLowDisk(AppContext &ctx, qint64 freeBytes, const QString &volume);
// Measures the disk that holds AppDir and warns.
void checkDiskSpace(AppContext &ctx);

// Name of the snapshot folder for the clock's date at this moment (not the
// start-up date: a run that passes midnight backs up into the new day).
QString snapshotDayName(AppContext &ctx);

struct SnapshotResult {
    QString dayName;
    QStringList copied; // file names (code page 932 ones decoded for showing)
    QStringList failed; // "name: reason"
    QStringList kept;   // the day's earlier copy kept: the layout file the board could not read
    bool ok = false;    // folder made and every file copied
};
// The copy itself. Staging files a crash left in the day's folder go first.
// The layout file that today's board could not read whole (ctx.layoutFaultFile)
// is copied only when the day has no copy of it yet.
// Each copy replaces the old one atomically; copies of files gone from "DB"
// stay. A file that cannot be copied leaves its old copy and the others are
// still copied; then one error report is made under
// "frmBackUp.Form_Activate()" and a message names every file not copied.
SnapshotResult copySnapshot(AppContext &ctx);

// The message naming the files not copied ("name: reason" lines).
QString notCopiedMessage(const QStringList &failed);

// Whether closing the board makes the automatic backup.
bool autoBackupDue(const AppContext &ctx);
// Menu item Backup: full authority only, after the question.
bool askManualBackup(AppContext &ctx);
// Activation of the backup window after its paint wait (waitForPaint):
// busy pointer, disk warning, copy.
bool makeSnapshot(AppContext &ctx);
// Lets the backup window paint: about one second of event handling.
void waitForPaint(int milliseconds = 1000);

// The display dates: today first, then one entry per snapshot folder (in
// ascending name order) whose name's last 11 characters are not leaveOut.
// Names shorter than 11 characters are no snapshots and are left out.
QStringList buildDateList(const QString &todayEraDate, const QStringList &backupSubfolders, const QString &leaveOut);
// The same from the stored snapshots, leaving out today's snapshot by the clock.
QStringList buildDateList(AppContext &ctx);

} // namespace velto

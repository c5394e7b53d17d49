#include "snapshot.h"

#include <QEventLoop>
#include <QTimer>

#include "core/appcontext.h"
#include "core/eradate.h"
#include "core/errorlog.h"
#include "core/platform.h"
#include "store/wardstore.h"

namespace velto {

QString lowDiskMessage(const QString &volume)
{
    return volume + QStringLiteral("ドライブ配下のディスク容量が、500MByteをきりました。") + QLatin1Char('\r')
           + QStringLiteral("空き容量を増やすか、メニューからバックアップデータを削除してください。")
           + QLatin1Char('\r')
           + QStringLiteral("ディスク容量が少ない場合は、データが保存できないことがありますので、ご注意ください！");
}

bool warnLowDisk(AppContext &ctx, qint64 freeBytes, const QString &volume)
{
    if (freeBytes < 0 || freeBytes >= kLowDiskBytes)
        return false;
    ctx.prompter->warnMsg(lowDiskMessage(volume));
    return true;
}

void checkDiskSpace(AppContext &ctx)
{
    warnLowDisk(ctx, platform::freeBytes(ctx.appDir), platform::volumeName(ctx.appDir));
}

QString notCopiedMessage(const QStringList &failed)
{
    return backuptext::notCopied + QLatin1Char('\r') + failed.join(QLatin1Char('\r'));
}

QString snapshotDayName(AppContext &ctx)
{
    return getWaDate(ctx, ctx.clock->now().date().toString(QStringLiteral("yyyyMMdd")));
}

SnapshotResult copySnapshot(AppContext &ctx)
{
    SnapshotResult r;
    BusyGuard busy(ctx.busy);
    r.dayName = snapshotDayName(ctx);
    bool folders = false;
    // An empty or odd day name would put the copies beside the snapshots.
    if (r.dayName.size() == SnapshotNameLength) {
        // A layout part the board could not read whole may be damaged: the
        // day's earlier copy of it is worth more than this one.
        const SnapshotCopy copy = ctx.store->takeSnapshot(r.dayName, ctx.layoutFaultFile);
        folders = copy.started;
        r.copied = copy.copied;
        r.failed = copy.failed;
        r.kept = copy.kept;
    }
    busy.release();
    // One report for a folder that could not be had or any file not copied;
    // the copies made stay and "DB" is only ever read.
    if (!folders || !r.failed.isEmpty()) {
        writeErrorLog(ctx, QStringLiteral("frmBackUp.Form_Activate()"));
        if (!r.failed.isEmpty())
            ctx.prompter->errorMsg(notCopiedMessage(r.failed));
        return r;
    }
    r.ok = true;
    return r;
}

bool autoBackupDue(const AppContext &ctx)
{
    return ctx.optionValues.backupOnOff == 1 && hasFullAuthority(ctx.currentAccount.authority);
}

bool askManualBackup(AppContext &ctx)
{
    if (!hasFullAuthority(ctx.currentAccount.authority))
        return false;
    return ctx.prompter->confirmYesNo(QStringLiteral("全てのデータをバックアップします") + QLatin1Char('\r')
                                      + QStringLiteral("よろしいですか？"));
}

bool makeSnapshot(AppContext &ctx)
{
    checkDiskSpace(ctx); // a warning only: the backup goes on
    return copySnapshot(ctx).ok;
}

void waitForPaint(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

QStringList buildDateList(const QString &todayEraDate, const QStringList &backupSubfolders, const QString &leaveOut)
{
    QStringList names = backupSubfolders;
    if (!std::is_sorted(names.begin(), names.end())) // the store lists them sorted
        std::sort(names.begin(), names.end());
    QStringList list;
    list.reserve(names.size() + 1);
    list << todayEraDate;
    for (const QString &name : std::as_const(names)) {
        // A shorter name would take part of the parent path as its date.
        if (name.size() < SnapshotNameLength)
            continue;
        // A name of the date's length is kept as it is, shared, not copied.
        const QString entry = name.size() == SnapshotNameLength ? name : name.right(SnapshotNameLength);
        if (entry != leaveOut)
            list << entry;
    }
    return list;
}

QStringList buildDateList(AppContext &ctx)
{
    const QDateTime now = ctx.clock ? ctx.clock->now() : QDateTime::currentDateTime();
    const QString today = getWaDate(ctx, now.date().toString(QStringLiteral("yyyyMMdd")));
    return buildDateList(ctx.todayEraDate, ctx.store->snapshots(), today);
}

} // namespace velto

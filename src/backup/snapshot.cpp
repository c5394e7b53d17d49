#include "snapshot.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include "core/appcontext.h"
#include "core/eradate.h"
#include "core/errorlog.h"
#include "core/platform.h"
#include "core/textfile.h"
#include "rawfiles.h"

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

namespace {

// A real folder, not a link that could lead the copies elsewhere.
bool ensureFolder(const QString &path)
{
    const QFileInfo fi(path);
    if (fi.isSymLink())
        return false;
    if (fi.exists())
        return fi.isDir();
    return textfile::makeDataFolder(path); // group-shared like its parent
}

// The copy without dialogs; false when the folders could not be had.
bool copyFiles(AppContext &ctx, SnapshotResult *r)
{
    r->dayName = snapshotDayName(ctx);
    const QString db = ctx.path(QStringLiteral("DB"));
    const QString backUp = ctx.path(QStringLiteral("BackUp"));
    // An empty or odd day name would put the copies beside the snapshots.
    if (r->dayName.size() != 11 || r->dayName.contains(QLatin1Char('/')) || r->dayName.contains(QLatin1Char('\\')))
        return false;
    const QString target = QDir(backUp).filePath(r->dayName);
    if (!ensureFolder(db) || !ensureFolder(backUp) || !ensureFolder(target))
        return false;

    // A backup of this day cut short by a crash left its staging files here.
    textfile::removeStaleStagingFiles(target);

    // Ordinary files only: "DB/Out" and any other subfolder stay out. Hidden
    // files and names in code page 932 bytes are records all the same.
    QList<QByteArray> files;
    QString listError;
    if (!rawfiles::listFiles(db, &files, &listError))
        return false;
    QList<QPair<QString, QByteArray>> copies;
    QStringList names;
    for (const QByteArray &raw : files) {
        const QString shown = rawfiles::shownName(raw);
        if (raw.startsWith(".~velto-"))
            continue; // a save that a crash cut short
        QString error;
        QByteArray data;
        if (!rawfiles::qtCanName(raw)) {
            // Rare (a folder copied from another PC): copied on its own.
            if (rawfiles::readFile(db, raw, &data, &error) && rawfiles::writeFileAtomic(target, raw, data, &error))
                r->copied << shown;
            else
                r->failed << shown + QStringLiteral(": ") + error;
            continue;
        }
        const QString name = QFile::decodeName(raw);
        // A layout file the board could not read whole may be damaged: the
        // day's earlier copy of it is worth more than this one.
        if (!ctx.layoutFaultFile.isEmpty() && name == ctx.layoutFaultFile
            && QFileInfo::exists(QDir(target).filePath(name))) {
            r->kept << name;
            continue;
        }
        if (rawfiles::readFile(db, raw, &data, &error)) {
            copies.append({QDir(target).filePath(name), data});
            names << name;
        } else {
            r->failed << shown + QStringLiteral(": ") + error;
        }
    }
    // Each old copy is replaced only once its new one is whole.
    QStringList errors;
    const QVector<bool> done = textfile::writeEachAtomic(copies, &errors);
    for (int i = 0; i < names.size(); ++i) {
        if (done.at(i))
            r->copied << names.at(i);
        else
            r->failed << names.at(i);
    }
    return true;
}

} // namespace

SnapshotResult copySnapshot(AppContext &ctx)
{
    SnapshotResult r;
    BusyGuard busy(ctx.busy);
    const bool folders = copyFiles(ctx, &r);
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

} // namespace velto

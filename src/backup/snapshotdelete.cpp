#include "snapshotdelete.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/appcontext.h"
#include "core/errorlog.h"

namespace velto {

bool canDeleteSnapshots(const AppContext &ctx)
{
    return !isRestricted(ctx.currentAccount.authority);
}

QStringList listSnapshots(const AppContext &ctx)
{
    const QDir backUp(ctx.path(QStringLiteral("BackUp")));
    if (!backUp.exists())
        return {};
    return backUp.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
}

SnapshotListing activateSnapshotList(AppContext &ctx)
{
    SnapshotListing l;
    l.names = listSnapshots(ctx);
    if (l.names.isEmpty()) {
        ctx.prompter->infoMsg(QStringLiteral("バックアップデータはありません。"));
        l.hide = true;
    }
    return l;
}

namespace {

// Deletes a folder's content without following any link: a link is removed
// as itself, so nothing outside the folder is touched.
bool removeTree(const QString &path, QString *error)
{
    const QFileInfoList entries
        = QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &fi : entries) {
        const bool ok = (fi.isDir() && !fi.isSymLink()) ? removeTree(fi.absoluteFilePath(), error)
                                                        : QFile::remove(fi.absoluteFilePath());
        if (!ok) {
            if (error->isEmpty())
                *error = QDir::toNativeSeparators(fi.absoluteFilePath());
            return false;
        }
    }
    if (!QDir().rmdir(path)) {
        *error = QDir::toNativeSeparators(path);
        return false;
    }
    return true;
}

} // namespace

bool removeSnapshot(AppContext &ctx, const QString &name, QString *error)
{
    error->clear();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/'))
        || name.contains(QLatin1Char('\\'))) {
        *error = name;
        return false;
    }
    const QString backUp = ctx.path(QStringLiteral("BackUp"));
    const QFileInfo folder(QDir(backUp).filePath(name));
    const QString base = QFileInfo(backUp).canonicalFilePath();
    if (folder.isSymLink() || !folder.isDir() || base.isEmpty()
        || QFileInfo(folder.canonicalFilePath()).path() != base) {
        *error = QDir::toNativeSeparators(folder.filePath());
        return false;
    }
    return removeTree(folder.absoluteFilePath(), error);
}

QStringList boardDateList(const QString &todayEraDate, const QStringList &listed)
{
    QStringList dates {todayEraDate};
    for (const QString &n : listed) {
        if (n != todayEraDate)
            dates << n;
    }
    return dates;
}

DelClickResult delClick(AppContext &ctx, DeleteMode mode, const QStringList &listed, const QStringList &marked)
{
    DelClickResult r;
    if (!canDeleteSnapshots(ctx))
        return r;
    const QString question = mode == DeleteMode::Marked
                                 ? QStringLiteral("バックアップデータを削除します。よろしいですか？")
                                 : QStringLiteral("全てのバックアップデータを削除します。よろしいですか？");
    if (!ctx.prompter->warnYesNoDefNo(question))
        return r;
    if (mode == DeleteMode::Marked && marked.isEmpty()) {
        ctx.prompter->errorMsg(QStringLiteral("リストが選択されていません。"));
        return r;
    }

    BusyGuard busy(ctx.busy);
    bool failed = false;
    for (const QString &name : listed) {
        if (mode == DeleteMode::Marked && !marked.contains(name))
            continue;
        QString error;
        if (!removeSnapshot(ctx, name, &error)) {
            failed = true; // what was deleted before stays deleted
            break;
        }
    }
    // The lists follow the folders even after a failure, so the board
    // never offers a day that is gone.
    r.deleted = true;
    r.closeWindow = true;
    r.listNames = listSnapshots(ctx);
    r.boardDates = boardDateList(ctx.todayEraDate, r.listNames);
    busy.release();
    if (failed)
        writeErrorLog(ctx, QStringLiteral("frmBack.Delclick()"));
    return r;
}

} // namespace velto

#include "snapshotdelete.h"

#include "snapshot.h"

#include "core/appcontext.h"
#include "core/errorlog.h"
#include "store/wardstore.h"

namespace velto {

bool canDeleteSnapshots(const AppContext &ctx)
{
    return !isRestricted(ctx.currentAccount.authority);
}

QStringList listSnapshots(const AppContext &ctx)
{
    return ctx.store->snapshots();
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

bool removeSnapshot(AppContext &ctx, const QString &name, QString *error)
{
    // The day's name says which snapshot went.
    return ctx.store->removeSnapshot(
        name, {newHistoryEvent(ctx, historykind::SnapshotDeletion, QString(), QString(), QString(), name)}, error);
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
    // The board's list by its own rule, as at start-up: a folder that is
    // no snapshot stays in this window's list, never in the board's.
    r.boardDates = buildDateList(ctx);
    busy.release();
    if (failed)
        writeErrorLog(ctx, QStringLiteral("frmBack.Delclick()"));
    return r;
}

} // namespace velto

#include "wardcheck.h"

#include <QDir>

#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "core/appcontext.h"
#include "core/startup.h"
#include "staff/accounts.h"
#include "store/wardstore.h"

namespace velto {

namespace wardchecktext {
QString folder(const QString &path)
{
    return QStringLiteral("データフォルダ: ") + QDir::toNativeSeparators(path);
}
QString database(const QString &name)
{
    return QStringLiteral("データベース: ") + name;
}
QString staff(int count)
{
    return QStringLiteral("職員: %1名").arg(count);
}
QString patients(int count)
{
    return QStringLiteral("入院: %1名").arg(count);
}
} // namespace wardchecktext

int checkWard(AppContext &ctx, const QString &databaseName, QStringList *out, QStringList *err)
{
    LinePrompter prompter;
    Prompter *shown = ctx.prompter;
    ctx.prompter = &prompter;
    const auto done = [&](int rc) {
        ctx.prompter = shown;
        *err << prompter.lines;
        return rc;
    };
    QString refused;
    if (!ctx.store->lock(&refused)) {
        *err << refused;
        return done(1);
    }
    struct Unlock {
        WardStore *store;
        ~Unlock() { store->unlock(); }
    } unlock {ctx.store};
    if (!prepareDataFolders(ctx))
        return done(1);
    AccountTable accounts;
    if (!loadAccounts(ctx, accounts))
        return done(1);
    BoardModel model;
    if (!loadWardLayout(ctx, model, QString())) {
        *err << ctx.layoutFault;
        return done(1);
    }
    int occupied = 0;
    for (int bed = 0; bed < BoardModel::BedCount; ++bed)
        occupied += model.isOccupied(bed) ? 1 : 0;
    *out << (databaseName.isEmpty() ? wardchecktext::folder(ctx.appDir) : wardchecktext::database(databaseName))
         << wardchecktext::staff(accounts.count()) << wardchecktext::patients(occupied);
    return done(0);
}

} // namespace velto

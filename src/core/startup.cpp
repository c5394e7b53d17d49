#include "startup.h"

#include <QDir>
#include <QFileInfo>

#include "appcontext.h"
#include "eradate.h"
#include "errorlog.h"
#include "textfile.h"

namespace velto {

const QList<SettingDefault> &firstStartSettings()
{
    static const QList<SettingDefault> list{
        {QStringLiteral("Pass"), QStringLiteral("cnt"), QStringLiteral("1")},
        {QStringLiteral("Pass"), QStringLiteral("user1"), QStringLiteral("Administrator,2,管理者,Brellowinster")},
        {QStringLiteral("Option"), QStringLiteral("backup_on_off"), QStringLiteral("1")},
        {QStringLiteral("Option"), QStringLiteral("backup_off_time"), QStringLiteral("2")},
        {QStringLiteral("Option"), QStringLiteral("midashi_on_off"), QStringLiteral("0")},
    };
    return list;
}

bool getReg(AppContext &ctx)
{
    QDir app(ctx.appDir);
    for (const QString &folder : {QStringLiteral("DB"), QStringLiteral("BackUp"), QStringLiteral("log"), QStringLiteral("DB/Out")}) {
        const QFileInfo fi(app.filePath(folder));
        if (fi.isDir())
            continue;
        if (fi.exists() || !app.mkpath(folder)) {
            writeErrorLog(ctx, QStringLiteral("bigin.getReg()"));
            return false;
        }
    }
    // Half-written files of a run that crashed are not data.
    for (const QString &folder : {QStringLiteral("DB"), QStringLiteral("DB/Out"), QStringLiteral("log")})
        textfile::removeStaleStagingFiles(app.filePath(folder));
    ctx.todayEraDate = getNowDate(ctx);

    if (ctx.settings->isEmpty()) {
        for (const SettingDefault &d : firstStartSettings())
            ctx.settings->setValue(d.section, d.key, d.value);
        QString why;
        if (!ctx.settings->commit(&why)) {
            ctx.settings->reload();
            writeErrorLog(ctx, QStringLiteral("bigin.getReg()"));
            return false;
        }
    }
    return true;
}

} // namespace velto

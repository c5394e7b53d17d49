#include "startup.h"

#include <QDir>
#include <QFileInfo>

#include "appcontext.h"
#include "eradate.h"
#include "errorlog.h"
#include "platform.h"
#include "textfile.h"

namespace velto {

namespace {
// The error log names this step as it always has.
const QString PrepareProc = QStringLiteral("bigin.getReg()");
} // namespace

namespace startuptext {

QString alreadyRunning(const QString &otherComputer)
{
    const QString text = QStringLiteral("既に起動しています。");
    if (otherComputer.isEmpty())
        return text;
    return text + QLatin1Char('\r') + QStringLiteral("（") + otherComputer + QStringLiteral("）");
}

QString lockNotCreated(const QString &lockPath)
{
    return QStringLiteral("ロックファイルを作成できません。") + QLatin1Char('\r') + QDir::toNativeSeparators(lockPath);
}

QString settingsUnreadable(const QString &settingsPath)
{
    return QStringLiteral("設定ファイルを読み込めません。") + QLatin1Char('\r')
           + QDir::toNativeSeparators(settingsPath);
}

QString changeNotCompleted(const QString &why)
{
    return QStringLiteral("前回中断された保存を完了できませんでした。") + QLatin1Char('\r') + why;
}

} // namespace startuptext

bool lockDataFolder(platform::InstanceLock &lock, QString *message)
{
    if (lock.acquire())
        return true;
    if (message)
        *message = lock.couldNotCreate() ? startuptext::lockNotCreated(lock.path())
                                         : startuptext::alreadyRunning(lock.otherComputer());
    return false;
}

const QList<SettingDefault> &firstStartSettings()
{
    static const QList<SettingDefault> list {
        {QStringLiteral("Pass"), QStringLiteral("cnt"), QStringLiteral("1")},
        {QStringLiteral("Pass"), QStringLiteral("user1"), QStringLiteral("Administrator,2,管理者,Brellowinster")},
        {QStringLiteral("Option"), QStringLiteral("backup_on_off"), QStringLiteral("1")},
        {QStringLiteral("Option"), QStringLiteral("backup_off_time"), QStringLiteral("2")},
        {QStringLiteral("Option"), QStringLiteral("midashi_on_off"), QStringLiteral("0")},
    };
    return list;
}

bool prepareDataFolders(AppContext &ctx)
{
    // Defaults in place of an unreadable file would drop every account and
    // bring the documented first password back.
    if (!ctx.settings->readable()) {
        ctx.prompter->errorMsg(startuptext::settingsUnreadable(ctx.settings->filePath()));
        return false;
    }
    QDir app(ctx.appDir);
    for (const QString &folder :
         {QStringLiteral("DB"), QStringLiteral("BackUp"), QStringLiteral("log"), QStringLiteral("DB/Out")}) {
        const QFileInfo fi(app.filePath(folder));
        if (fi.isDir())
            continue;
        if (fi.exists() || !textfile::makeDataFolder(app.filePath(folder))) {
            writeErrorLog(ctx, PrepareProc);
            return false;
        }
    }
    // A change a crash interrupted is finished before anything reads DB;
    // one that cannot be finished must not be built upon.
    QString why;
    if (!textfile::completeInterruptedChange(app.filePath(QStringLiteral("DB")), &why)) {
        ctx.prompter->errorMsg(startuptext::changeNotCompleted(why));
        return false;
    }
    // Half-written files of a run that crashed are not data.
    for (const QString &folder : {QStringLiteral("DB"), QStringLiteral("DB/Out"), QStringLiteral("log")})
        textfile::removeStaleStagingFiles(app.filePath(folder));
    ctx.todayEraDate = getNowDate(ctx);

    if (ctx.settings->isEmpty()) {
        for (const SettingDefault &d : firstStartSettings())
            ctx.settings->setValue(d.section, d.key, d.value);
        if (!ctx.settings->commit(&why)) {
            ctx.settings->reload();
            writeErrorLog(ctx, PrepareProc);
            return false;
        }
    }
    return true;
}

} // namespace velto

#include "startup.h"

#include <QDir>
#include <QFileInfo>

#include "appcontext.h"
#include "eradate.h"
#include "errorlog.h"
#include "platform.h"
#include "store/wardstore.h"
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
    // The error log stays beside the program, whatever keeps the ward.
    const QString log = ctx.path(QStringLiteral("log"));
    const QFileInfo fi(log);
    if (fi.exists() ? !fi.isDir() : !textfile::makeDataFolder(log)) {
        writeErrorLog(ctx, PrepareProc);
        return false;
    }
    QString why;
    if (!ctx.store->prepare(&why)) {
        if (why.isEmpty())
            writeErrorLog(ctx, PrepareProc);
        else
            ctx.prompter->errorMsg(why);
        return false;
    }
    textfile::removeStaleStagingFiles(log);
    ctx.todayEraDate = getNowDate(ctx);

    // The first start of a ward: its built-in account and options, where the
    // ward keeps them (the settings file, or the ward database).
    SettingsStore &ward = wardSettings(ctx);
    if (ward.isEmpty()) {
        for (const SettingDefault &d : firstStartSettings())
            ward.setValue(d.section, d.key, d.value);
        if (!ward.commit(&why)) {
            // A terminal starting at the same moment may have seeded it.
            const bool seededElsewhere = ward.commitConflicted();
            ward.reload();
            if (!seededElsewhere || ward.isEmpty()) {
                writeErrorLog(ctx, PrepareProc);
                return false;
            }
        }
    }
    return true;
}

} // namespace velto

#include "options.h"

#include "core/appcontext.h"
#include "core/errorlog.h"
#include "store/wardstore.h"

namespace velto {

namespace {

const QString kSection = QStringLiteral("Option");

// The run keeps the options as 16-bit integers.
bool toShort(const QString &text, int *value)
{
    bool ok = false;
    const short v = text.trimmed().toShort(&ok);
    if (ok)
        *value = v;
    return ok;
}

// The two switches as the store now holds them, when both read as numbers.
void takeStoredSwitches(AppContext &ctx, const SettingsStore &store)
{
    int on = 0;
    int midashi = 0;
    if (toShort(store.value(kSection, QStringLiteral("backup_on_off")), &on)
        && toShort(store.value(kSection, QStringLiteral("midashi_on_off")), &midashi)) {
        ctx.optionValues.backupOnOff = on;
        ctx.optionValues.midashiOnOff = midashi;
    }
}

} // namespace

OptionsForm optionsActivate(AppContext &ctx)
{
    OptionsForm form;
    // Rights first: an unreadable value below must not leave Apply enabled
    // for a restricted account.
    form.canApply = !isRestricted(ctx.currentAccount.authority);

    SettingsStore &store = wardSettings(ctx);
    if (store.refresh())
        takeStoredSwitches(ctx, store); // another terminal may have changed them since the login
    form.backOn = ctx.optionValues.backupOnOff == 1;
    form.backOff = !form.backOn;
    form.midashi = ctx.optionValues.midashiOnOff == 1;

    form.hideNames = ctx.settings->value(QStringLiteral("Display"), QStringLiteral("hide_names")) == QLatin1String("1");

    const QString stored = store.value(kSection, QStringLiteral("backup_off_time"));
    int offTime = 0;
    if (toShort(stored, &offTime)) {
        ctx.optionValues.backupOffTime = offTime;
        form.backupOffTime = stored;
    } else {
        form.backupOffTime = QString::number(ctx.optionValues.backupOffTime);
        writeErrorLog(ctx, QStringLiteral("frmOptionDlg.Form_Activate()"));
    }
    return form;
}

bool optionsApply(AppContext &ctx, const OptionsForm &form, std::optional<OptionsForm> *refreshed)
{
    if (isRestricted(ctx.currentAccount.authority))
        return false;
    const int backupOnOff = form.backOn ? 1 : 0;
    const int midashiOnOff = form.midashi ? 1 : 0;
    SettingsStore &store = wardSettings(ctx);
    store.setValue(kSection, QStringLiteral("backup_on_off"), QString::number(backupOnOff));
    store.setValue(kSection, QStringLiteral("backup_off_time"), form.backupOffTime);
    store.setValue(kSection, QStringLiteral("midashi_on_off"), QString::number(midashiOnOff));
    // A preference of this screen: the local settings file, in both stores.
    SettingsStore &local = *ctx.settings;
    const QString hideNames = form.hideNames ? QStringLiteral("1") : QStringLiteral("0");
    const bool displayChanged
        = local.value(QStringLiteral("Display"), QStringLiteral("hide_names")) != hideNames
          && (form.hideNames || local.contains(QStringLiteral("Display"), QStringLiteral("hide_names")));
    if (displayChanged)
        local.setValue(QStringLiteral("Display"), QStringLiteral("hide_names"), hideNames);
    QString error;
    if (&local != &store && displayChanged && !local.commit(&error)) {
        local.reload();
        store.reload();
        ctx.prompter->errorMsg(QStringLiteral("オプションを保存できませんでした。") + QLatin1Char('\r') + error);
        return false;
    }
    if (!store.commit(&error)) {
        store.reload(); // drop the changes that did not reach the file
        if (store.commitConflicted()) {
            // Another terminal changed them first: show theirs.
            takeStoredSwitches(ctx, store);
            ctx.prompter->infoMsg(storetext::ChangedElsewhere);
            if (refreshed)
                *refreshed = optionsActivate(ctx);
            return false;
        }
        ctx.prompter->errorMsg(QStringLiteral("オプションを保存できませんでした。") + QLatin1Char('\r') + error);
        return false;
    }
    ctx.optionValues.backupOnOff = backupOnOff;
    ctx.optionValues.midashiOnOff = midashiOnOff;
    return true;
}

} // namespace velto

#include "appflow.h"

#include <QApplication>
#include <QWidget>

#include "backup/codepagenames.h"
#include "core/busy.h"
#include "core/errorlog.h"
#include "core/startup.h"
#include "core/textfile.h"
#include "facility/facilityinfo.h"
#include "facilitydialog.h"
#include "logindialog.h"
#include "splashscreen.h"
#include "store/wardstore.h"
#include "wardboardwindow.h"

namespace velto {

AppFlow::AppFlow(AppContext &ctx, AppHooks hooks, int splashMs)
    : m_ctx(ctx)
    , m_hooks(std::move(hooks))
    , m_splashMs(splashMs)
{ }

int AppFlow::run()
{
    BusyGuard busy(m_ctx.busy);
    QString refused;
    if (!m_ctx.store->lock(&refused)) {
        busy.release();
        m_ctx.prompter->errorMsg(refused);
        return 1;
    }
    struct Unlock {
        WardStore *store;
        ~Unlock() { store->unlock(); }
    } unlock {m_ctx.store};
    QString why;
    if (!textfile::converterUsable(&why)) {
        // Without the code page no record can be read or written safely.
        busy.release();
        m_ctx.prompter->errorMsg(why);
        return 1;
    }
    if (!prepareDataFolders(m_ctx)) {
        busy.release();
        return 1;
    }
    loadAccounts(m_ctx, m_accounts);
    m_ctx.loginAttempts = 0;
    busy.release();
    if (!m_ctx.store->dataFolder().isEmpty())
        repairDataFolders(m_ctx); // before any record is read

    LoginDialog login(m_ctx, m_accounts);
    const bool loggedIn = login.exec() == QDialog::Accepted;
    if (!loggedIn) {
        endProgram();
        return login.exhausted() ? 0 : 0;
    }
    afterLogin();
    endProgram();
    return 0;
}

void AppFlow::afterLogin()
{
    const bool noFacility = !facilityFileExists(m_ctx);
    if (m_ctx.optionValues.midashiOnOff != 1) {
        SplashScreen splash(m_ctx, m_splashMs);
        splash.exec();
    }
    if (noFacility && m_hooks.facilityForm && !m_hooks.facilityForm(m_ctx, true))
        return;
    if (m_hooks.board)
        m_hooks.board(m_ctx);
}

AppHooks defaultHooks()
{
    AppHooks hooks;
    hooks.facilityForm = [](AppContext &ctx, bool cancelDisabled) {
        if (cancelDisabled)
            return runFirstStartFacilityForm(ctx);
        runFacilityForm(ctx, nullptr, false);
        return true;
    };
    hooks.board = [](AppContext &ctx) { openBoard(ctx); };
    return hooks;
}

void endProgram()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
}

} // namespace velto

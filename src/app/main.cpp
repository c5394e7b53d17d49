#include <QApplication>

#include "app/applicationsetup.h"
#include "core/appcontext.h"
#include "core/platform.h"
#include "ui/appflow.h"
#include "ui/busycursor.h"
#include "ui/messageboxprompter.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    velto::setUpApplication(app);

    velto::SystemClock clock;
    velto::MessageBoxPrompter prompter;
    velto::SettingsStore settings(velto::SettingsStore::defaultPath());
    velto::BusyCursor busy;

    velto::AppContext ctx;
    ctx.appDir = QCoreApplication::applicationDirPath();
    ctx.clock = &clock;
    ctx.prompter = &prompter;
    ctx.settings = &settings;
    ctx.busy = &busy;

    velto::AppFlow flow(ctx, velto::defaultHooks());
    // The lock lives with the data, so any second start on this folder, by
    // any account or computer, is refused.
    return flow.run(velto::platform::instanceLockPath(ctx.appDir));
}

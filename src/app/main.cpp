#include <QApplication>

#include "app/applicationsetup.h"
#include "core/appcontext.h"
#include "store/pg/storechoice.h"
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
    // The folder store's lock lives with the data, so any second start on
    // this folder, by any account or computer, is refused.
    QString refused;
    const std::unique_ptr<velto::WardStore> store
        = velto::openWardStore(QCoreApplication::applicationDirPath(), settings, &refused);
    if (!store) {
        prompter.errorMsg(refused);
        return 1;
    }

    velto::AppContext ctx;
    ctx.appDir = QCoreApplication::applicationDirPath();
    ctx.clock = &clock;
    ctx.prompter = &prompter;
    ctx.settings = &settings;
    ctx.busy = &busy;
    ctx.store = store.get();

    velto::AppFlow flow(ctx, velto::defaultHooks());
    return flow.run();
}

#include <QApplication>

#include "app/applicationsetup.h"
#include "core/appcontext.h"
#include "store/folderstore.h"
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
    // The lock lives with the data, so any second start on this folder, by
    // any account or computer, is refused.
    velto::FolderStore store(QCoreApplication::applicationDirPath());

    velto::AppContext ctx;
    ctx.appDir = QCoreApplication::applicationDirPath();
    ctx.clock = &clock;
    ctx.prompter = &prompter;
    ctx.settings = &settings;
    ctx.busy = &busy;
    ctx.store = &store;

    velto::AppFlow flow(ctx, velto::defaultHooks());
    return flow.run();
}

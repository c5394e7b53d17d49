#include <QApplication>
#include <QTextStream>

#include "app/applicationsetup.h"
#include "core/appcontext.h"
#include "store/pg/storechoice.h"
#include "store/pg/wardtransfer.h"
#include "ui/appflow.h"
#include "ui/busycursor.h"
#include "ui/messageboxprompter.h"

namespace {

// velto --import-folder DIR / --export-folder DIR: no window, no display.
int runCommandLine(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (!args.contains(QStringLiteral("--import-folder")) && !args.contains(QStringLiteral("--export-folder")))
        return -1;
    QCoreApplication app(argc, argv);
    const velto::SettingsStore settings(velto::SettingsStore::defaultPath());
    QStringList out, err;
    const int rc = velto::runTransferCommand(args, settings, &out, &err);
    QTextStream(stdout) << out.join(QLatin1Char('\n')).replace(QLatin1Char('\r'), QLatin1Char('\n'))
                        << (out.isEmpty() ? "" : "\n");
    QTextStream(stderr) << err.join(QLatin1Char('\n')).replace(QLatin1Char('\r'), QLatin1Char('\n'))
                        << (err.isEmpty() ? "" : "\n");
    return rc;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const int rc = runCommandLine(argc, argv); rc >= 0)
        return rc;
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

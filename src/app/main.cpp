#include <QApplication>
#include <QTextStream>

#include "app/applicationsetup.h"
#include "app/wardcheck.h"
#include "core/appcontext.h"
#include "core/startup.h"
#include "core/wardlocation.h"
#include "store/pg/storechoice.h"
#include "store/pg/wardtransfer.h"
#include "ui/appflow.h"
#include "ui/busycursor.h"
#include "ui/messageboxprompter.h"

namespace {

void print(QTextStream &stream, const QStringList &lines)
{
    if (!lines.isEmpty())
        stream << lines.join(QLatin1Char('\n')).replace(QLatin1Char('\r'), QLatin1Char('\n')) << '\n';
}

// Where the ward is; false with the message for the user.
bool locate(const velto::SettingsStore &settings, velto::WardLocation *where, QString *message)
{
    // The packaged program's system-wide defaults, under the user's own.
    QMap<QString, QString> defaults;
#ifdef VELTO_SYSTEM_SETTINGS
    if (!velto::readWardDefaults(QStringLiteral(VELTO_SYSTEM_SETTINGS), &defaults, message))
        return false;
#endif
    *where = velto::locateWard(settings, defaults, QCoreApplication::applicationDirPath());
    *message = where->error;
    return where->error.isEmpty();
}

// velto --import-folder DIR / --export-folder DIR / --check: no window, no
// display.
int runCommandLine(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const bool check = args.contains(QStringLiteral("--check"));
    if (!check && !args.contains(QStringLiteral("--import-folder"))
        && !args.contains(QStringLiteral("--export-folder")))
        return -1;
    QCoreApplication app(argc, argv);
    velto::SettingsStore settings(velto::SettingsStore::defaultPath());
    QStringList out, err;
    int rc = 1;
    if (!check) {
        rc = velto::runTransferCommand(args, settings, &out, &err);
    } else {
        velto::WardLocation where;
        QString message;
        std::unique_ptr<velto::WardStore> store;
        if (locate(settings, &where, &message))
            store = velto::openWardStore(where, settings, &message);
        if (!store) {
            err << message;
        } else {
            velto::SystemClock clock;
            velto::LinePrompter prompter;
            velto::AppContext ctx;
            ctx.appDir = where.dataFolder;
            ctx.clock = &clock;
            ctx.prompter = &prompter;
            ctx.settings = &settings;
            ctx.store = store.get();
            rc = velto::checkWard(ctx, where.database, &out, &err);
        }
    }
    QTextStream o(stdout), e(stderr);
    print(o, out);
    print(e, err);
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
    velto::WardLocation where;
    QString refused;
    if (!locate(settings, &where, &refused)) {
        prompter.errorMsg(refused);
        return 1;
    }
    // The folder store's lock lives with the data, so any second start on
    // this folder, by any account or computer, is refused.
    const std::unique_ptr<velto::WardStore> store = velto::openWardStore(where, settings, &refused);
    if (!store) {
        prompter.errorMsg(refused);
        return 1;
    }

    velto::AppContext ctx;
    ctx.appDir = where.dataFolder;
    ctx.programDir = QCoreApplication::applicationDirPath();
    ctx.clock = &clock;
    ctx.prompter = &prompter;
    ctx.settings = &settings;
    ctx.busy = &busy;
    ctx.store = store.get();

    velto::AppFlow flow(ctx, velto::defaultHooks());
    return flow.run();
}

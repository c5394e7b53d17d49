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

QString usageText()
{
    QString text = QStringLiteral("Usage: velto [OPTION]\n"
                                  "The electronic whiteboard of a hospital ward. Without an option it opens\n"
                                  "the ward's board.\n"
                                  "\n"
                                  "Options:\n"
                                  "  --help               show this help and end\n"
                                  "  --version            show the program's version and end\n"
                                  "  --import-folder DIR  copy the ward folder DIR into the empty database\n"
                                  "                       that [Ward] database= names, and end\n"
                                  "  --export-folder DIR  write the database's ward into the new or empty\n"
                                  "                       folder DIR, and end\n"
                                  "  --check              open the ward's data folder as a start would, print\n"
                                  "                       what it holds, and end\n"
                                  "\n"
                                  "Settings file: %1\n");
#ifdef VELTO_SYSTEM_SETTINGS
    text += QStringLiteral("Defaults for every user: %1\n").arg(QStringLiteral(VELTO_SYSTEM_SETTINGS));
#endif
    text += QStringLiteral("  [Ward] folder=DIR    the ward's data folder (DB, BackUp, log)\n"
                           "  [Ward] database=...  a PostgreSQL connection string: the ward is kept in\n"
                           "                       that database in place of the folder\n");
    return text.arg(velto::SettingsStore::defaultPath());
}

// velto --help / --version, and unknown options: answered without a display,
// before Qt parses the command line. Returns -1 when the program goes on.
int runInformationOption(int argc, char *argv[])
{
    bool help = false, version = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == "--import-folder" || arg == "--export-folder") {
            ++i; // the folder may be named anything
        } else if (arg.startsWith("--") && arg != "--check") {
            QTextStream(stderr) << "velto: unknown option " << QString::fromLocal8Bit(arg) << "\n\n" << usageText();
            return 2;
        }
    }
    if (help) {
        QTextStream(stdout) << usageText();
        return 0;
    }
    if (version) {
        QTextStream(stdout) << "velto " << VELTO_VERSION << "\n";
        return 0;
    }
    return -1;
}

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
    if (const int rc = runInformationOption(argc, argv); rc >= 0)
        return rc;
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

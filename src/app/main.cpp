#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "core/appcontext.h"
#include "core/platform.h"
#include "ui/appflow.h"
#include "ui/busycursor.h"
#include "ui/messageboxprompter.h"

#ifdef VELTO_STARTUP_PROBE
#include "../../bench/probe.h"
#endif

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(velto);
#ifdef VELTO_STARTUP_PROBE
    velto::bench::exitWhenShown(QStringLiteral("frmLogin"));
#endif
    QApplication::setApplicationName(QStringLiteral("Velto"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velto.png")));

    // Qt's own buttons and dialogs speak Japanese ("はい", "いいえ").
    QTranslator qtbase;
    if (qtbase.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtbase);
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

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

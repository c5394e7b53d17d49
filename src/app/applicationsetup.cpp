#include "app/applicationsetup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

// Q_INIT_RESOURCE only works outside a namespace.
static void initResources()
{
    Q_INIT_RESOURCE(velto);
}

namespace velto {

void setUpApplication(QApplication &app)
{
    initResources();
    QApplication::setApplicationName(QStringLiteral("Velto"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velto.png")));

    // Qt's own buttons and dialogs speak Japanese ("はい", "いいえ").
    auto *qtbase = new QTranslator(&app);
    if (qtbase->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtbase);
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

} // namespace velto

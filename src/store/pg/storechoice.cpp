#include "storechoice.h"

#include <QFileInfo>

#include "connectionstring.h"
#include "core/platform.h"
#include "core/settingsstore.h"
#include "core/wardlocation.h"
#include "pgstore.h"
#include "staff/sharedwardsettings.h"
#include "store/folderstore.h"

namespace velto {

namespace {
std::unique_ptr<WardStore> openDatabaseStore(const QString &database, const SettingsStore &settings, QString *message,
                                             int passwordIterations);
}

std::unique_ptr<WardStore> openWardStore(const QString &appDir, const SettingsStore &settings, QString *message,
                                         int passwordIterations)
{
    const QString database = connectionstring::wardDatabase(settings);
    if (database.isEmpty())
        return std::make_unique<FolderStore>(appDir);
    return openDatabaseStore(database, settings, message, passwordIterations);
}

std::unique_ptr<WardStore> openWardStore(const WardLocation &where, const SettingsStore &settings, QString *message,
                                         int passwordIterations)
{
    if (!where.database.isEmpty())
        return openDatabaseStore(where.database, settings, message, passwordIterations);
    if (!where.named)
        return std::make_unique<FolderStore>(where.dataFolder);
    return std::make_unique<FolderStore>(where.dataFolder, QString(),
                                         std::make_unique<SharedWardSettings>(where.dataFolder, passwordIterations));
}

namespace {
std::unique_ptr<WardStore> openDatabaseStore(const QString &database, const SettingsStore &settings, QString *message,
                                             int passwordIterations)
{
    const QString lockPath = platform::instanceLockPath(QFileInfo(settings.filePath()).absolutePath());
    auto store = std::make_unique<PgStore>(database, lockPath);
    QString error;
    if (!store->open(&error, passwordIterations)) {
        *message = store->connected() ? error
                                      : connectionstring::text::Unreachable.arg(connectionstring::serverName(database));
        return nullptr;
    }
    return store;
}
} // namespace

} // namespace velto

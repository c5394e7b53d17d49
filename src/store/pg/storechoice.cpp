#include "storechoice.h"

#include <QFileInfo>

#include "connectionstring.h"
#include "core/platform.h"
#include "core/settingsstore.h"
#include "pgstore.h"
#include "store/folderstore.h"

namespace velto {

std::unique_ptr<WardStore> openWardStore(const QString &appDir, const SettingsStore &settings, QString *message,
                                         int passwordIterations)
{
    const QString database = connectionstring::wardDatabase(settings);
    if (database.isEmpty())
        return std::make_unique<FolderStore>(appDir);
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

} // namespace velto

#include "sharedwardsettings.h"

#include <QDir>

#include "accounts.h"

namespace velto {

SharedWardSettings::SharedWardSettings(const QString &dataFolder, int iterations)
    : SettingsStore(QDir(dataFolder).filePath(SharedWardSettingsFile), Sharing::Group)
    , m_iterations(iterations)
{ }

bool SharedWardSettings::commit(QString *error)
{
    const QString section = QStringLiteral("Pass");
    const int count = value(section, QStringLiteral("cnt")).toInt();
    for (int i = 1; i <= count; ++i) {
        const QString key = QStringLiteral("user%1").arg(i);
        StaffAccount a;
        if (!contains(section, key) || !splitAccountLine(value(section, key), &a))
            continue;
        if (!passwordhash::isPasswordHash(a.password)) {
            a.password = passwordhash::hashPassword(a.password, m_iterations);
            setValue(section, key, joinAccountLine(a));
        }
    }
    return SettingsStore::commit(error);
}

} // namespace velto

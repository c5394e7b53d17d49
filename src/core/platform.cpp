#include "platform.h"

#include <QDir>
#include <QStandardPaths>
#include <QStorageInfo>

namespace velto::platform {

QString instanceLockPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("velto.lock"));
}

InstanceLock::InstanceLock(const QString &path)
    : m_lock(std::make_unique<QLockFile>(path))
{
    // Only a dead owner makes a lock stale, however old it is.
    m_lock->setStaleLockTime(0);
}

bool InstanceLock::acquire()
{
    return m_lock->tryLock(0);
}

qint64 freeBytes(const QString &path)
{
    QStorageInfo info(path);
    return info.isValid() ? info.bytesAvailable() : -1;
}

QString volumeName(const QString &path)
{
    QStorageInfo info(path);
    const QString root = info.rootPath();
    if (root.size() >= 2 && root.at(1) == QLatin1Char(':'))
        return root.left(1); // drive letter
    return root;
}

} // namespace velto::platform

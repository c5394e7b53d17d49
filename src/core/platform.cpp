#include "platform.h"

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

#include <QDir>
#include <QFile>
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

bool replaceFile(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(from).utf16()),
                       reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(to).utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

bool syncToDisk(QFileDevice &file)
{
#ifdef Q_OS_WIN
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))) != 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

bool canSyncFileSystem()
{
#ifdef Q_OS_LINUX
    return true;
#else
    return false;
#endif
}

bool syncFileSystem(const QString &folder)
{
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::syncfs(fd) == 0;
    ::close(fd);
    return ok;
#else
    Q_UNUSED(folder);
    return false;
#endif
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

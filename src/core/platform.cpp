#include "platform.h"

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QSysInfo>

namespace velto::platform {

QString instanceLockPath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral(".velto.lock"));
}

namespace {

// A folder shared by a group keeps new files in that group (setgid bit).
bool isGroupSharedFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    struct stat st;
    return ::stat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode)
           && (st.st_mode & S_ISGID) != 0;
#else
    Q_UNUSED(folder);
    return false;
#endif
}

} // namespace

InstanceLock::InstanceLock(const QString &path)
    : m_lock(std::make_unique<QLockFile>(path))
    , m_path(path)
{
    // Only a dead owner on this computer makes a lock stale, however old it
    // is: the age of a lock says nothing about a run on another computer.
    m_lock->setStaleLockTime(0);
}

bool InstanceLock::acquire()
{
    if (!m_lock->tryLock(0))
        return false;
    // Another account of the group must be able to read the lock, and
    // break it once its owner has died.
    const QString folder = QFileInfo(m_path).absolutePath();
    if (isGroupSharedFolder(folder))
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
    return true;
}

QString InstanceLock::path() const
{
    return m_path;
}

bool InstanceLock::couldNotCreate() const
{
    return m_lock->error() == QLockFile::PermissionError || m_lock->error() == QLockFile::UnknownError;
}

QString InstanceLock::otherComputer() const
{
    qint64 pid = 0;
    QString host;
    if (m_lock->error() != QLockFile::LockFailedError || !m_lock->getLockInfo(&pid, &host, nullptr))
        return QString();
    return host.isEmpty() || host == QSysInfo::machineHostName() ? QString() : host;
}

bool replaceFile(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(from).utf16()),
                       reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(to).utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
           != 0;
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

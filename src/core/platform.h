#pragma once
// The few things that differ between operating systems.
#include <QFileDevice>
#include <QLockFile>
#include <QString>
#include <memory>

namespace velto::platform {

// Lock file naming this user's running instance, in the user's runtime folder.
QString instanceLockPath();

// Held for the whole run; a lock left by a process that died is broken.
class InstanceLock {
public:
    explicit InstanceLock(const QString &path);
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};

// Puts `from` in the place of `to` in one step, replacing it.
bool replaceFile(const QString &from, const QString &to);
// Pushes a written file's data to the disk.
bool syncToDisk(QFileDevice &file);

// Flushing a whole file system at once (Linux); where it is not possible,
// callers flush each file themselves.
bool canSyncFileSystem();
bool syncFileSystem(const QString &folder);

// Free bytes on the volume holding path, and the name the user knows it by
// (a drive letter where there is one, else its mount point).
qint64 freeBytes(const QString &path);
QString volumeName(const QString &path);

} // namespace velto::platform

#pragma once
// The few things that differ between operating systems.
#include <QFileDevice>
#include <QLockFile>
#include <QString>
#include <memory>

namespace velto::platform {

// Lock file naming the run that uses a data folder: a hidden file in the
// folder itself, so every account and every computer using it sees it.
QString instanceLockPath(const QString &dataFolder);

// Held for the whole run. A lock left by a process of this computer that
// died is broken; one held by another computer never is, however old.
class InstanceLock {
public:
    explicit InstanceLock(const QString &path);
    bool acquire();

    QString path() const;
    // After a refused acquire(): the lock file could not be made at all.
    bool couldNotCreate() const;
    // After a refused acquire(): the name of the other computer holding the
    // lock; empty when it is this computer or the file does not say.
    QString otherComputer() const;

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_path;
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

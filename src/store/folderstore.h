#pragma once
// The ward kept as a folder of code page 932 files beside the program:
// "DB" (today's layout, records and facility), "DB/Out" (kept records),
// "BackUp/<era date>" (snapshots). Staff accounts and options are the
// settings file's sections.
#include <memory>

#include "wardstore.h"

namespace velto {

namespace platform {
class InstanceLock;
}

class FolderStore : public WardStore {
public:
    // appDir holds the data folders; lockPath is the run's lock file. A
    // folder the settings name is shared by the login accounts in its group:
    // sharedSettings then keeps the ward's accounts and options, and the
    // folder's DB is never created (it is there, or the share is missing).
    explicit FolderStore(QString appDir, QString lockPath = QString(),
                         std::unique_ptr<SettingsStore> sharedSettings = nullptr);
    ~FolderStore() override;

    bool lock(QString *message) override;
    void unlock() override;
    bool prepare(QString *message) override;
    bool readHistory(QList<HistoryEvent> *events, QString *error) override;
    QString dataFolder() const override;
    StoredLayout readLayout(const QString &snapshot) override;
    StoreRead readRecord(const RecordRef &ref, QByteArray *bytes, QString *error) override;
    bool hasRecord(const RecordRef &ref) override;
    QStringList keptRecords() override;
    bool readPhoto(const RecordRef &ref, const QString &storedPath, QByteArray *bytes) override;
    QString sharedPhotoFolder() const override;
    ChangeResult apply(const WardChange &change, QString *error) override;
    bool hasFacility() override;
    StoreRead readFacility(QByteArray *bytes, QString *error) override;
    ChangeResult writeFacility(const QByteArray &bytes, const std::optional<QByteArray> &expected,
                               QString *error) override;
    QStringList snapshots() override;
    SnapshotCopy takeSnapshot(const QString &day, const QString &keepIfPresent) override;
    bool removeSnapshot(const QString &name, const QList<HistoryEvent> &events, QString *error) override;
    SettingsStore *wardSettings() override;
    void setChangeListener(std::function<void(Event)>) override { } // one terminal at a time

    // The file a record is kept in; empty when the key or snapshot name is
    // no plain file name.
    QString recordPath(const RecordRef &ref) const;
    QString folder(const QString &relative) const;

private:
    QString m_appDir;
    QString m_lockPath;
    std::unique_ptr<platform::InstanceLock> m_lock;
    std::unique_ptr<SettingsStore> m_sharedSettings;
    // The snapshot folders as last listed, with BackUp's own stat then: a
    // ward of many years is listed once per start, not at every look.
    struct SnapshotCache {
        bool valid = false;
        qint64 mtimeNs = 0, ctimeNs = 0;
        quint64 inode = 0;
        QStringList names;
        bool operator==(const SnapshotCache &o) const
        {
            return valid == o.valid && mtimeNs == o.mtimeNs && ctimeNs == o.ctimeNs && inode == o.inode;
        }
    } m_snapshotCache;
    void rememberSnapshots(const QStringList &names, const SnapshotCache &stamp);
    SnapshotCache backUpStamp() const;
};

// Reads a regular file whole; a FIFO or a device named as a picture would
// block the program or never end.
bool readRegularFile(const QString &path, QByteArray *data);

} // namespace velto

#pragma once
// The ward kept in a PostgreSQL database shared by every terminal: one row
// per bed and per room, records as the code page 932 bytes the folder store
// holds, snapshots as the files of their day.
#include <QObject>
#include <QSqlDatabase>
#include <QTimer>
#include <functional>
#include <memory>

#include "store/wardstore.h"
#include "wardimage.h"

namespace velto {

class WardDatabaseSettings;

namespace platform {
class InstanceLock;
}

class PgStore : public WardStore {
public:
    // connectionString: a libpq connection string ([Ward] database).
    // lockPath: this user's lock file (there is no shared folder to lock).
    PgStore(QString connectionString, QString lockPath, QString connectionName = QStringLiteral("velto-ward"));
    ~PgStore() override;

    // Connects, creates or updates the ward's tables and reads its accounts
    // and options. False with *error. passwordIterations: the PBKDF2 count
    // for passwords set from now on (tests pass a low one).
    bool open(QString *error, int passwordIterations = 100000);
    // Whether the connection to the server is open.
    bool connected() const;

    bool lock(QString *message) override;
    void unlock() override;
    bool prepare(QString *message) override;
    QString dataFolder() const override;
    StoredLayout readLayout(const QString &snapshot) override;
    StoreRead readRecord(const RecordRef &ref, QByteArray *bytes, QString *error) override;
    bool hasRecord(const RecordRef &ref) override;
    QStringList keptRecords() override;
    bool readPhoto(const RecordRef &ref, const QString &storedPath, QByteArray *bytes) override;
    ChangeResult apply(const WardChange &change, QString *error) override;
    bool readHistory(QList<HistoryEvent> *events, QString *error) override;
    bool hasFacility() override;
    StoreRead readFacility(QByteArray *bytes, QString *error) override;
    ChangeResult writeFacility(const QByteArray &bytes, const std::optional<QByteArray> &expected,
                               QString *error) override;
    QStringList snapshots() override;
    SnapshotCopy takeSnapshot(const QString &day, const QString &keepIfPresent) override;
    bool removeSnapshot(const QString &name, const QList<HistoryEvent> &events, QString *error) override;
    SettingsStore *wardSettings() override;
    // Also watches the connection (every heartbeatMs) while a listener is set.
    void setChangeListener(std::function<void(Event)> listener) override;
    void setHeartbeat(int milliseconds);

    // Whether the ward is as a first start leaves it: no record, no kept
    // record, no snapshot, every bed free, and at most the built-in account,
    // unchanged. False with *error when it cannot be told.
    bool isEmptyWard(bool *empty, QString *error);
    // Writes a whole ward in one transaction, refused unless the ward is
    // empty. Passwords are hashed on the way in.
    bool importWard(const WardImage &ward, QString *error);
    // The whole ward (accounts left out: their passwords are hashes).
    bool readWard(WardImage *ward, QString *error);

private:
    QSqlDatabase db() const;
    bool applyLayout(QSqlDatabase &d, const LayoutLines &layout, const std::optional<LayoutLines> &base, bool *conflict,
                     QString *error);
    // Tells the other terminals' boards that the ward changed.
    bool notifyOthers(QSqlDatabase &d, QString *error);
    bool todayLayoutFiles(QList<QPair<QString, QByteArray>> *files, QString *error);

    QString m_connectionString;
    QString m_lockPath;
    QString m_name;
    std::unique_ptr<platform::InstanceLock> m_lock;
    std::unique_ptr<WardDatabaseSettings> m_settings;
    std::function<void(Event)> m_listener;
    QMetaObject::Connection m_notification;
    std::unique_ptr<QTimer> m_heartbeat;
    bool m_lost = false;
    bool subscribe(QString *error);
    void checkConnection();
    void connectionLost();
    bool insertHistory(QSqlDatabase &d, const QList<HistoryEvent> &events, QString *error);
};

} // namespace velto

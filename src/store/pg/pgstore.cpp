#include "pgstore.h"

#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

#include "core/platform.h"
#include "core/startup.h"
#include "core/textfile.h"
#include "staff/passwordhash.h"
#include "store/folderstore.h"
#include "wardschema.h"
#include "wardsettings.h"

namespace velto {

namespace {

const QString FacilityFile = QStringLiteral("HOSPITAL_INFO.WBD");
// Every change of the ward is announced here to the other terminals.
const QString ChangeChannel = QStringLiteral("velto_ward");

QString placeName(RecordPlace place)
{
    return place == RecordPlace::Kept ? QStringLiteral("kept") : QStringLiteral("today");
}

bool exec(QSqlQuery &q, QString *error)
{
    if (q.exec())
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

QSqlQuery prepared(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    q.prepare(sql);
    return q;
}

// No call may hold the board for long when the server or the network goes
// away: a bounded connect, statement and dead-peer detection. The ward's own
// keywords come last, so they win.
QString boundedConnectionString(const QString &ward)
{
    return QStringLiteral("connect_timeout=5 keepalives=1 keepalives_idle=2 keepalives_interval=1"
                          " keepalives_count=2 tcp_user_timeout=4000 options='-c statement_timeout=5000' ")
           + ward;
}

// An empty text, never SQL's null (the driver binds a null QString as null).
QString text(const QString &s)
{
    return s.isNull() ? QStringLiteral("") : s;
}

// A snapshot holds files by the bytes of their names, as a folder does.
QByteArray fileName(const QString &name)
{
    return QFile::encodeName(name);
}

// The same order as a folder listing by name.
QStringList sorted(QStringList names)
{
    if (!std::is_sorted(names.begin(), names.end()))
        std::sort(names.begin(), names.end());
    return names;
}

// Thousands of names in one value: a row each costs the driver a result row
// and a variant per name. "/" is in no file name, so it cannot be in one.
QStringList nameList(QSqlQuery &q)
{
    if (!exec(q, nullptr) || !q.next() || q.isNull(0))
        return {};
    return sorted(q.value(0).toString().split(QLatin1Char('/')));
}

LayoutPart decodePart(const QByteArray &bytes)
{
    LayoutPart part;
    QList<int> bad;
    textfile::decodeLinesEach(bytes, &part.lines, &bad);
    if (bad.isEmpty()) {
        part.state = StoreRead::Read;
    } else {
        part.lines.clear();
        part.state = StoreRead::Failed;
        part.badLine = bad.constFirst();
    }
    return part;
}

} // namespace

PgStore::PgStore(QString connectionString, QString lockPath, QString connectionName)
    : m_connectionString(std::move(connectionString))
    , m_lockPath(std::move(lockPath))
    , m_name(std::move(connectionName))
{ }

PgStore::~PgStore()
{
    m_heartbeat.reset();
    QObject::disconnect(m_notification);
    m_settings.reset();
    {
        QSqlDatabase d = QSqlDatabase::database(m_name, false);
        if (d.isValid())
            d.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase PgStore::db() const
{
    return QSqlDatabase::database(m_name, false);
}

bool PgStore::open(QString *error, int passwordIterations)
{
    QSqlDatabase d = wardschema::openConnection(boundedConnectionString(m_connectionString), m_name, error);
    if (!d.isOpen() || !wardschema::migrate(d, error))
        return false;
    m_settings = std::make_unique<WardDatabaseSettings>(m_name, passwordIterations);
    if (!m_settings->load(error))
        return false;
    return subscribe(error);
}

bool PgStore::subscribe(QString *error)
{
    // Another terminal's change reaches this board without a click.
    QSqlDriver *driver = db().driver();
    QObject::disconnect(m_notification);
    // A new session after a reconnect listens again.
    if (driver->subscribedToNotifications().contains(ChangeChannel))
        driver->unsubscribeFromNotification(ChangeChannel);
    if (!driver->subscribeToNotification(ChangeChannel)) {
        if (error)
            *error = driver->lastError().text();
        return false;
    }
    m_notification
        = QObject::connect(driver, &QSqlDriver::notification,
                           [this](const QString &name, QSqlDriver::NotificationSource source, const QVariant &) {
                               if (name == ChangeChannel && source == QSqlDriver::OtherSource && m_listener)
                                   m_listener(Event::Changed);
                           });
    return true;
}

void PgStore::setHeartbeat(int milliseconds)
{
    if (m_heartbeat)
        m_heartbeat->setInterval(milliseconds);
}

void PgStore::checkConnection()
{
    QSqlDatabase d = db();
    if (!m_lost) {
        QSqlQuery q(d);
        if (d.isOpen() && q.exec(QStringLiteral("select 1")))
            return;
        connectionLost();
        return;
    }
    // Reconnect; the notifications sent meanwhile are lost, so the board
    // reads everything again.
    d.close();
    if (!d.open() || !subscribe(nullptr))
        return;
    m_lost = false;
    if (m_listener)
        m_listener(Event::Regained);
}

void PgStore::connectionLost()
{
    if (m_lost)
        return;
    m_lost = true;
    if (m_listener)
        m_listener(Event::Lost);
}

bool PgStore::connected() const
{
    return db().isOpen();
}

bool PgStore::prepare(QString *message)
{
    message->clear();
    return true; // the tables were made or brought up to date by open()
}

QString PgStore::dataFolder() const
{
    return QString();
}

bool PgStore::lock(QString *message)
{
    if (!m_lock)
        m_lock = std::make_unique<platform::InstanceLock>(m_lockPath);
    return lockDataFolder(*m_lock, message);
}

void PgStore::unlock()
{
    m_lock.reset();
}

StoredLayout PgStore::readLayout(const QString &snapshot)
{
    StoredLayout layout;
    if (snapshot.isEmpty()) {
        QSqlQuery beds = prepared(db(), QStringLiteral("select entry from ward_bed order by bed"));
        QSqlQuery rooms = prepared(db(), QStringLiteral("select number, colour from ward_room order by room"));
        if (!exec(beds, nullptr) || !exec(rooms, nullptr)) {
            layout.beds.state = StoreRead::Failed;
            layout.beds.badLine = 1;
            return layout;
        }
        while (beds.next())
            layout.beds.lines << beds.value(0).toString();
        while (rooms.next()) {
            layout.roomNumbers.lines << rooms.value(0).toString();
            layout.roomColours.lines << rooms.value(1).toString();
        }
        layout.beds.state = layout.roomNumbers.state = layout.roomColours.state = StoreRead::Read;
        return layout;
    }
    QSqlQuery q = prepared(db(), QStringLiteral("select content from snapshot_file where day = ? and name = ?"));
    // A missing or damaged part leaves the later ones unread, as in a folder.
    for (const auto &[name, part] :
         {std::pair {layoutfile::Beds, &layout.beds}, std::pair {layoutfile::RoomNumbers, &layout.roomNumbers},
          std::pair {layoutfile::RoomColours, &layout.roomColours}}) {
        q.addBindValue(snapshot);
        q.addBindValue(fileName(name));
        if (!exec(q, nullptr)) {
            part->state = StoreRead::Failed;
            part->badLine = 1;
            return layout;
        }
        if (!q.next())
            return layout;
        *part = decodePart(q.value(0).toByteArray());
        if (part->state != StoreRead::Read)
            return layout;
    }
    return layout;
}

StoreRead PgStore::readRecord(const RecordRef &ref, QByteArray *bytes, QString *error)
{
    if (ref.key.isEmpty())
        return StoreRead::Missing;
    QSqlQuery q;
    if (ref.place == RecordPlace::Snapshot) {
        // A snapshot imported from a Windows PC may name it in code page 932.
        QByteArray cp932;
        if (!textfile::encode(ref.key, &cp932, nullptr))
            cp932 = fileName(ref.key);
        q = prepared(db(), QStringLiteral("select content from snapshot_file where day = ? and name in (?, ?)"
                                          " order by name = ? desc limit 1"));
        q.addBindValue(ref.snapshot);
        q.addBindValue(fileName(ref.key));
        q.addBindValue(cp932);
        q.addBindValue(fileName(ref.key));
    } else {
        q = prepared(db(), QStringLiteral("select content from patient_record where place = ? and key = ?"));
        q.addBindValue(placeName(ref.place));
        q.addBindValue(ref.key);
    }
    if (!exec(q, error))
        return StoreRead::Failed;
    if (!q.next())
        return StoreRead::Missing;
    *bytes = q.value(0).toByteArray();
    return StoreRead::Read;
}

bool PgStore::hasRecord(const RecordRef &ref)
{
    QByteArray bytes;
    return readRecord(ref, &bytes, nullptr) == StoreRead::Read;
}

QStringList PgStore::keptRecords()
{
    QSqlQuery q = prepared(
        db(), QStringLiteral(
                  "select string_agg(key, '/' order by key collate \"C\") from patient_record where place = 'kept'"));
    return nameList(q);
}

bool PgStore::readPhoto(const RecordRef &ref, const QString &storedPath, QByteArray *bytes)
{
    // A snapshot's record shows the picture the patient's record still
    // keeps under the same path, else the file itself where it can be read.
    QSqlQuery q = ref.place == RecordPlace::Snapshot
                      ? prepared(db(), QStringLiteral("select photo from patient_record where key = ?"
                                                      " and photo_path = ? and photo is not null limit 1"))
                      : prepared(db(), QStringLiteral("select photo from patient_record where place = ? and key = ?"
                                                      " and photo is not null"));
    if (ref.place == RecordPlace::Snapshot) {
        q.addBindValue(ref.key);
        q.addBindValue(text(storedPath));
    } else {
        q.addBindValue(placeName(ref.place));
        q.addBindValue(ref.key);
    }
    if (exec(q, nullptr) && q.next()) {
        *bytes = q.value(0).toByteArray();
        return true;
    }
    return ref.place == RecordPlace::Snapshot && readRegularFile(storedPath, bytes);
}

bool PgStore::notifyOthers(QSqlDatabase &d, QString *error)
{
    // Sent when the transaction commits, never for one rolled back.
    QSqlQuery q = prepared(d, QStringLiteral("select pg_notify('%1', '')").arg(ChangeChannel));
    return exec(q, error);
}

void PgStore::setChangeListener(std::function<void(Event)> listener)
{
    m_listener = std::move(listener);
    if (!m_listener) {
        m_heartbeat.reset();
        return;
    }
    if (!m_heartbeat) {
        m_heartbeat = std::make_unique<QTimer>();
        m_heartbeat->setInterval(2000);
        QObject::connect(m_heartbeat.get(), &QTimer::timeout, [this] { checkConnection(); });
        m_heartbeat->start();
    }
}

bool PgStore::applyLayout(QSqlDatabase &d, const LayoutLines &l, const std::optional<LayoutLines> &base, bool *conflict,
                          QString *error)
{
    // The beds and rooms this change sets: those that differ from its base,
    // or from what is stored when it names none.
    LayoutLines from;
    if (base) {
        from = *base;
    } else {
        const StoredLayout now = readLayout(QString());
        from = LayoutLines {now.beds.lines, now.roomNumbers.lines, now.roomColours.lines};
    }
    QList<int> beds, rooms;
    for (int bed = 0; bed < l.beds.size(); ++bed) {
        if (l.beds.at(bed) != from.beds.value(bed))
            beds << bed;
    }
    for (int room = 0; room < l.roomNumbers.size(); ++room) {
        if (l.roomNumbers.at(room) != from.roomNumbers.value(room)
            || l.roomColours.value(room) != from.roomColours.value(room))
            rooms << room;
    }
    // Emptied first, so an exchange never names one record on two beds,
    // not even for a moment; each only if it still holds what this
    // terminal saw.
    for (const int bed : std::as_const(beds)) {
        QSqlQuery q = prepared(d, QStringLiteral("update ward_bed set entry = '', version = version + 1"
                                                 " where bed = ? and entry = ?"));
        q.addBindValue(bed);
        q.addBindValue(text(from.beds.value(bed)));
        if (!exec(q, error))
            return false;
        if (q.numRowsAffected() != 1) {
            *conflict = true;
            return false;
        }
    }
    for (const int bed : std::as_const(beds)) {
        QSqlQuery q = prepared(d, QStringLiteral("update ward_bed set entry = ? where bed = ?"));
        q.addBindValue(text(l.beds.at(bed)));
        q.addBindValue(bed);
        if (!exec(q, error)) {
            // A record named by a bed another terminal just filled.
            *conflict = q.lastError().nativeErrorCode() == QLatin1String("23505");
            return false;
        }
    }
    for (const int room : std::as_const(rooms)) {
        QSqlQuery q = prepared(d, QStringLiteral("update ward_room set number = ?, colour = ?, version = version + 1"
                                                 " where room = ? and number = ? and colour = ?"));
        q.addBindValue(text(l.roomNumbers.at(room)));
        q.addBindValue(text(l.roomColours.value(room)));
        q.addBindValue(room);
        q.addBindValue(text(from.roomNumbers.value(room)));
        q.addBindValue(text(from.roomColours.value(room)));
        if (!exec(q, error))
            return false;
        if (q.numRowsAffected() != 1) {
            *conflict = true;
            return false;
        }
    }
    return true;
}

ChangeResult PgStore::apply(const WardChange &change, QString *error)
{
    for (const RecordWrite &w : change.writes) {
        if (w.ref.place == RecordPlace::Snapshot || w.ref.key.isEmpty()) {
            if (error)
                *error = w.ref.key;
            return ChangeResult::Failed;
        }
    }
    for (const RecordRef &r : change.removals) {
        if (r.place == RecordPlace::Snapshot || r.key.isEmpty()) {
            if (error)
                *error = r.key;
            return ChangeResult::Failed;
        }
    }
    QSqlDatabase d = db();
    if (!d.transaction()) {
        if (error)
            *error = d.lastError().text();
        return ChangeResult::Failed;
    }
    bool ok = true;
    bool conflict = false;
    for (const RecordWrite &w : change.writes) {
        if (!ok)
            break;
        if (w.expected) {
            // Saved by another terminal since this one read it: refused.
            QSqlQuery now = prepared(d, QStringLiteral("select content from patient_record where place = ? and key = ?"
                                                       " for update"));
            now.addBindValue(placeName(w.ref.place));
            now.addBindValue(w.ref.key);
            ok = exec(now, error);
            if (ok && (!now.next() || now.value(0).toByteArray() != *w.expected)) {
                conflict = true;
                ok = false;
                break;
            }
        }
        QString photoPath;
        QVariant photo(QMetaType(QMetaType::QByteArray)); // null
        bool keepPhoto = false;
        if (w.photoPath) {
            // A picture that cannot be read here stays as stored, if the
            // record still names it.
            photoPath = *w.photoPath;
            if (w.photo)
                photo = *w.photo;
            else
                keepPhoto = true;
        } else {
            // A record moved whole (discharge, readmission) takes its picture.
            const auto from = std::find_if(change.removals.begin(), change.removals.end(), [&](const RecordRef &r) {
                return r.key == w.ref.key && r.place != w.ref.place;
            });
            const RecordRef source = from != change.removals.end() ? *from : w.ref;
            QSqlQuery old = prepared(d, QStringLiteral("select photo_path, photo from patient_record"
                                                       " where place = ? and key = ?"));
            old.addBindValue(placeName(source.place));
            old.addBindValue(source.key);
            ok = exec(old, error);
            if (ok && old.next()) {
                photoPath = old.value(0).toString();
                photo = old.value(1);
            }
        }
        QSqlQuery q
            = prepared(d, QStringLiteral("insert into patient_record (place, key, content, photo_path, photo)"
                                         " values (?, ?, ?, ?, ?) on conflict (place, key) do update set"
                                         " content = excluded.content, photo_path = excluded.photo_path,"
                                         " photo = case when ? and patient_record.photo_path = excluded.photo_path"
                                         " then patient_record.photo else excluded.photo end,"
                                         " version = patient_record.version + 1"));
        q.addBindValue(placeName(w.ref.place));
        q.addBindValue(w.ref.key);
        q.addBindValue(w.bytes);
        q.addBindValue(text(photoPath));
        q.addBindValue(photo);
        q.addBindValue(keepPhoto);
        ok = ok && exec(q, error);
    }
    if (ok && change.layout)
        ok = applyLayout(d, *change.layout, change.base, &conflict, error);
    for (const RecordRef &r : change.removals) {
        const bool written
            = std::any_of(change.writes.begin(), change.writes.end(), [&](const RecordWrite &w) { return w.ref == r; });
        if (written)
            continue; // removing what this change writes would lose it
        if (!ok)
            break;
        const bool asRead = r.place == RecordPlace::Today && change.removedAsRead.contains(r.key);
        QSqlQuery q = prepared(d, asRead ? QStringLiteral("delete from patient_record"
                                                          " where place = ? and key = ? and content = ?")
                                         : QStringLiteral("delete from patient_record where place = ? and key = ?"));
        q.addBindValue(placeName(r.place));
        q.addBindValue(r.key);
        if (asRead)
            q.addBindValue(change.removedAsRead.value(r.key));
        ok = exec(q, error);
        // A record moved (discharged, readmitted) must still be where this
        // terminal saw it: gone means another terminal moved or erased it
        // first, and moving it now would bring it back.
        const bool moved = std::any_of(change.writes.begin(), change.writes.end(),
                                       [&](const RecordWrite &w) { return w.ref.key == r.key; });
        if (ok && (moved || asRead) && q.numRowsAffected() == 0) {
            conflict = true;
            ok = false;
        }
    }
    if (ok)
        ok = insertHistory(d, change.events, error);
    ok = ok && notifyOthers(d, error);
    if (ok && d.commit())
        return ChangeResult::Done;
    if (ok && error)
        *error = d.lastError().text();
    d.rollback();
    if (!conflict && !QSqlQuery(d).exec(QStringLiteral("select 1")))
        connectionLost(); // a save in flight when the server went: not saved
    return conflict ? ChangeResult::Conflict : ChangeResult::Failed;
}

bool PgStore::insertHistory(QSqlDatabase &d, const QList<HistoryEvent> &events, QString *error)
{
    for (const HistoryEvent &e : events) {
        QSqlQuery q = prepared(d, QStringLiteral("insert into ward_history (id, at, login_id, staff_name, kind, room,"
                                                 " bed, patient_key, detail) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"
                                                 " on conflict (id) do nothing"));
        for (const QString &value :
             {e.id, e.time, e.loginId, e.staffName, e.kind, e.room, e.bed, e.patientKey, e.detail})
            q.addBindValue(text(value));
        if (!exec(q, error))
            return false;
    }
    return true;
}

bool PgStore::readHistory(QList<HistoryEvent> *events, QString *error)
{
    QSqlQuery q = prepared(db(), QStringLiteral("select id, at, login_id, staff_name, kind, room, bed, patient_key,"
                                                " detail from ward_history order by seq"));
    if (!exec(q, error))
        return false;
    QList<HistoryEvent> all;
    while (q.next()) {
        HistoryEvent e;
        QString *fields[]
            = {&e.id, &e.time, &e.loginId, &e.staffName, &e.kind, &e.room, &e.bed, &e.patientKey, &e.detail};
        for (int i = 0; i < HistoryFieldCount; ++i)
            *fields[i] = q.value(i).toString();
        all.append(e);
    }
    *events = all;
    return true;
}

bool PgStore::hasFacility()
{
    QByteArray bytes;
    return readFacility(&bytes, nullptr) == StoreRead::Read;
}

StoreRead PgStore::readFacility(QByteArray *bytes, QString *error)
{
    QSqlQuery q = prepared(db(), QStringLiteral("select content from facility where id = 1"));
    if (!exec(q, error))
        return StoreRead::Failed;
    if (!q.next())
        return StoreRead::Missing;
    *bytes = q.value(0).toByteArray();
    return StoreRead::Read;
}

ChangeResult PgStore::writeFacility(const QByteArray &bytes, const std::optional<QByteArray> &expected, QString *error)
{
    // One statement each way, so two terminals cannot both pass the check.
    QSqlQuery q;
    if (!expected) {
        q = prepared(db(), QStringLiteral("insert into facility (id, content) values (1, ?) on conflict (id)"
                                          " do update set content = excluded.content,"
                                          " version = facility.version + 1"));
        q.addBindValue(bytes);
    } else if (expected->isEmpty()) {
        q = prepared(db(), QStringLiteral("insert into facility (id, content) values (1, ?)"
                                          " on conflict (id) do nothing"));
        q.addBindValue(bytes);
    } else {
        q = prepared(db(), QStringLiteral("update facility set content = ?, version = version + 1"
                                          " where id = 1 and content = ?"));
        q.addBindValue(bytes);
        q.addBindValue(*expected);
    }
    if (!exec(q, error)) {
        if (!QSqlQuery(db()).exec(QStringLiteral("select 1")))
            connectionLost();
        return ChangeResult::Failed;
    }
    if (expected && q.numRowsAffected() != 1) {
        if (error)
            *error = storetext::ChangedElsewhere;
        return ChangeResult::Conflict;
    }
    return ChangeResult::Done;
}

QStringList PgStore::snapshots()
{
    QSqlQuery q
        = prepared(db(), QStringLiteral("select string_agg(day, '/' order by day collate \"C\") from snapshot_day"));
    return nameList(q);
}

bool PgStore::todayLayoutFiles(QList<QPair<QString, QByteArray>> *files, QString *error)
{
    const StoredLayout l = readLayout(QString());
    if (l.beds.state != StoreRead::Read)
        return false;
    for (const auto &[name, part] :
         {std::pair {layoutfile::Beds, &l.beds}, std::pair {layoutfile::RoomNumbers, &l.roomNumbers},
          std::pair {layoutfile::RoomColours, &l.roomColours}}) {
        QByteArray bytes;
        if (!textfile::encodeLines(name, part->lines, &bytes, error))
            return false;
        files->append({name, bytes});
    }
    return true;
}

SnapshotCopy PgStore::takeSnapshot(const QString &day, const QString &keepIfPresent)
{
    SnapshotCopy r;
    QSqlDatabase d = db();
    QString error;
    if (day.isEmpty() || !d.transaction())
        return r;
    // The day's files: the records in their beds' ward, the layout and the
    // facility information, as the folder store's "DB" holds them.
    QList<QPair<QString, QByteArray>> files;
    QSqlQuery records = prepared(d, QStringLiteral("select key, content from patient_record where place = 'today'"));
    bool ok = exec(records, &error);
    while (ok && records.next())
        files.append({records.value(0).toString(), records.value(1).toByteArray()});
    ok = ok && todayLayoutFiles(&files, &error);
    QByteArray facility;
    if (ok && readFacility(&facility, &error) == StoreRead::Read)
        files.append({FacilityFile, facility});

    QSqlQuery dayRow = prepared(d, QStringLiteral("insert into snapshot_day (day) values (?) on conflict do nothing"));
    dayRow.addBindValue(day);
    ok = ok && exec(dayRow, &error);
    QStringList copied;
    for (const auto &file : std::as_const(files)) {
        if (!ok)
            break;
        if (!keepIfPresent.isEmpty() && file.first == keepIfPresent) {
            QSqlQuery exists = prepared(d, QStringLiteral("select 1 from snapshot_file where day = ? and name = ?"));
            exists.addBindValue(day);
            exists.addBindValue(fileName(file.first));
            ok = exec(exists, &error);
            if (ok && exists.next()) {
                r.kept << file.first;
                continue;
            }
        }
        QSqlQuery q = prepared(d, QStringLiteral("insert into snapshot_file (day, name, content) values (?, ?, ?)"
                                                 " on conflict (day, name) do update set content = excluded.content"));
        q.addBindValue(day);
        q.addBindValue(fileName(file.first));
        q.addBindValue(file.second);
        ok = exec(q, &error);
        copied << file.first;
    }
    ok = ok && notifyOthers(d, &error);
    if (ok && d.commit()) {
        r.started = true;
        r.copied = copied;
        return r;
    }
    d.rollback();
    r.kept.clear();
    r.started = true;
    for (const auto &file : std::as_const(files))
        r.failed << file.first + QStringLiteral(": ") + (error.isEmpty() ? d.lastError().text() : error);
    return r;
}

bool PgStore::removeSnapshot(const QString &name, const QList<HistoryEvent> &events, QString *error)
{
    error->clear();
    QSqlDatabase d = db();
    if (!d.transaction()) {
        *error = d.lastError().text();
        return false;
    }
    QSqlQuery q = prepared(d, QStringLiteral("delete from snapshot_day where day = ?"));
    q.addBindValue(name);
    bool ok = exec(q, error);
    if (ok && q.numRowsAffected() < 1) {
        *error = name;
        ok = false;
    }
    ok = ok && insertHistory(d, events, error);
    // The other date lists lose the day.
    ok = ok && notifyOthers(d, error);
    if (ok && d.commit())
        return true;
    if (ok)
        *error = d.lastError().text();
    d.rollback();
    return false;
}

bool PgStore::isEmptyWard(bool *empty, QString *error)
{
    QSqlQuery q = prepared(db(), QStringLiteral("select (select count(*) from patient_record)"
                                                " + (select count(*) from snapshot_day)"
                                                " + (select count(*) from ward_bed where entry <> ''),"
                                                " (select count(*) from staff_account)"));
    if (!exec(q, error) || !q.next())
        return false;
    if (q.value(0).toInt() != 0 || q.value(1).toInt() > 1) {
        *empty = false;
        return true;
    }
    if (q.value(1).toInt() == 0) {
        *empty = true;
        return true;
    }
    // The one account must be the built-in one as the first start made it.
    QSqlQuery account
        = prepared(db(), QStringLiteral("select login_id, authority, staff_name, password_hash from staff_account"));
    if (!exec(account, error) || !account.next())
        return false;
    *empty = account.value(0).toString() == QLatin1String("Administrator") && account.value(1).toInt() == 2
             && account.value(2).toString() == QStringLiteral("管理者")
             && passwordhash::verifyPassword(QStringLiteral("Brellowinster"), account.value(3).toString());
    return true;
}

bool PgStore::importWard(const WardImage &ward, QString *error)
{
    QList<StaffAccount> rows;
    if (!staffRows(ward.settings, &rows, error))
        return false;
    for (StaffAccount &row : rows)
        row.password = passwordhash::hashPassword(row.password, m_settings ? m_settings->iterations() : 100000);

    QSqlDatabase d = db();
    if (!d.transaction()) {
        if (error)
            *error = d.lastError().text();
        return false;
    }
    // Another terminal must not fill the ward between the check and the copy.
    // (Not a prepared statement: the server prepares no LOCK.)
    QSqlQuery lockTables(d);
    bool ok = lockTables.exec(QStringLiteral("lock table ward_bed, patient_record, snapshot_day, staff_account"
                                             " in exclusive mode"));
    if (!ok && error)
        *error = lockTables.lastError().text();
    bool empty = false;
    ok = ok && isEmptyWard(&empty, error);
    if (ok && !empty) {
        if (error)
            *error = QStringLiteral("refused: the ward is not empty");
        ok = false;
    }
    for (const WardImage::Record &r : ward.records) {
        if (!ok)
            break;
        QSqlQuery q = prepared(d, QStringLiteral("insert into patient_record (place, key, content, photo_path, photo)"
                                                 " values (?, ?, ?, ?, ?)"));
        q.addBindValue(placeName(r.place));
        q.addBindValue(r.key);
        q.addBindValue(r.bytes);
        q.addBindValue(text(r.photoPath));
        q.addBindValue(r.photo ? QVariant(*r.photo) : QVariant(QMetaType(QMetaType::QByteArray)));
        ok = exec(q, error);
    }
    if (ok && ward.layout) {
        const LayoutLines &l = *ward.layout;
        for (int bed = 0; ok && bed < l.beds.size(); ++bed) {
            QSqlQuery q = prepared(d, QStringLiteral("update ward_bed set entry = ? where bed = ?"));
            q.addBindValue(text(l.beds.at(bed)));
            q.addBindValue(bed);
            ok = exec(q, error);
        }
        for (int room = 0; ok && room < l.roomNumbers.size(); ++room) {
            QSqlQuery q = prepared(d, QStringLiteral("update ward_room set number = ?, colour = ? where room = ?"));
            q.addBindValue(text(l.roomNumbers.at(room)));
            q.addBindValue(text(l.roomColours.value(room)));
            q.addBindValue(room);
            ok = exec(q, error);
        }
    }
    for (auto day = ward.snapshots.constBegin(); ok && day != ward.snapshots.constEnd(); ++day) {
        QSqlQuery q = prepared(d, QStringLiteral("insert into snapshot_day (day) values (?)"));
        q.addBindValue(day.key());
        ok = exec(q, error);
        for (const WardImage::File &f : day.value()) {
            if (!ok)
                break;
            QSqlQuery file = prepared(d, QStringLiteral("insert into snapshot_file (day, name, content)"
                                                        " values (?, ?, ?)"));
            file.addBindValue(day.key());
            file.addBindValue(f.name);
            file.addBindValue(f.content);
            ok = exec(file, error);
        }
    }
    if (ok && ward.facility) {
        QSqlQuery q = prepared(d, QStringLiteral("insert into facility (id, content) values (1, ?) on conflict (id)"
                                                 " do update set content = excluded.content,"
                                                 " version = facility.version + 1"));
        q.addBindValue(*ward.facility);
        ok = exec(q, error);
    }
    ok = ok && writeAccountsAndOptions(d, rows, ward.settings, error);
    ok = ok && insertHistory(d, ward.history, error);
    if (ok && d.commit()) {
        if (m_settings)
            m_settings->reload();
        return true;
    }
    if (ok && error)
        *error = d.lastError().text();
    d.rollback();
    return false;
}

bool PgStore::readWard(WardImage *ward, QString *error)
{
    WardImage w;
    const StoredLayout l = readLayout(QString());
    if (l.beds.state != StoreRead::Read) {
        if (error)
            *error = QStringLiteral("ward_bed");
        return false;
    }
    w.layout = LayoutLines {l.beds.lines, l.roomNumbers.lines, l.roomColours.lines};
    QSqlQuery records = prepared(db(), QStringLiteral("select place, key, content, photo_path, photo"
                                                      " from patient_record order by place, key"));
    if (!exec(records, error))
        return false;
    while (records.next()) {
        WardImage::Record r;
        r.place = records.value(0).toString() == QLatin1String("kept") ? RecordPlace::Kept : RecordPlace::Today;
        r.key = records.value(1).toString();
        r.bytes = records.value(2).toByteArray();
        r.photoPath = records.value(3).toString();
        if (!records.value(4).isNull())
            r.photo = records.value(4).toByteArray();
        w.records << r;
    }
    QSqlQuery files = prepared(db(), QStringLiteral("select d.day, f.name, f.content from snapshot_day d"
                                                    " left join snapshot_file f on f.day = d.day"));
    if (!exec(files, error))
        return false;
    while (files.next()) {
        QList<WardImage::File> &day = w.snapshots[files.value(0).toString()];
        if (!files.value(1).isNull())
            day << WardImage::File {files.value(1).toByteArray(), files.value(2).toByteArray()};
    }
    QByteArray facility;
    switch (readFacility(&facility, error)) {
    case StoreRead::Read:
        w.facility = facility;
        break;
    case StoreRead::Missing:
        break;
    case StoreRead::Failed:
        return false;
    }
    if (!readHistory(&w.history, error))
        return false;
    *ward = w;
    return true;
}

SettingsStore *PgStore::wardSettings()
{
    return m_settings.get();
}

} // namespace velto

#pragma once
// Everything the ward keeps, behind one interface: the folder of code page
// 932 files (the default) or the ward database. The rules (what may change,
// what the user is asked and told) stay above it and are the same for both.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "core/appcontext.h"
#include "core/history.h"

namespace velto {

class SettingsStore;

enum class StoreRead { Read, Missing, Failed };

// Length of a snapshot's name (an era date).
constexpr int SnapshotNameLength = 11;

// Where a record is kept: today's ward, the discharged patients' records, or
// a day's snapshot (by its name, an era date).
enum class RecordPlace { Today, Kept, Snapshot };

struct RecordRef {
    RecordPlace place = RecordPlace::Today;
    QString key;
    QString snapshot; // only for RecordPlace::Snapshot

    static RecordRef today(const QString &key) { return {RecordPlace::Today, key, QString()}; }
    static RecordRef kept(const QString &key) { return {RecordPlace::Kept, key, QString()}; }
    static RecordRef inSnapshot(const QString &snapshot, const QString &key)
    {
        return {RecordPlace::Snapshot, key, snapshot};
    }
    bool operator==(const RecordRef &o) const { return place == o.place && key == o.key && snapshot == o.snapshot; }
};

// The names of the layout's three parts (the folder store's file names).
namespace layoutfile {
inline const QString Beds = QStringLiteral("ROOM.WBD");            // 240 bed entries
inline const QString RoomNumbers = QStringLiteral("ROOM_NO.WBD");  // 30 room numbers
inline const QString RoomColours = QStringLiteral("ROOM_COL.WBD"); // 30 stored colours
} // namespace layoutfile

// One part of a stored layout: the bed entries, the room numbers or the
// room colours, as many lines as are stored.
struct LayoutPart {
    StoreRead state = StoreRead::Missing;
    QStringList lines;
    int badLine = 0; // Failed: the first line that could not be read (from 1)
};

// A day's layout as stored. The folder store reads its three files; a part
// that is missing or fails leaves the ones after it unread.
struct StoredLayout {
    LayoutPart beds, roomNumbers, roomColours;
};

// Today's layout as written: 240 bed entries, 30 room numbers and 30 colour
// texts, values the code page can hold.
struct LayoutLines {
    QStringList beds, roomNumbers, roomColours;
};

struct RecordWrite {
    RecordWrite(RecordRef r, QByteArray b)
        : ref(std::move(r))
        , bytes(std::move(b))
    { }
    // A record saved from its window, naming its picture.
    RecordWrite(RecordRef r, QByteArray b, const QString &picturePath)
        : ref(std::move(r))
        , bytes(std::move(b))
        , photoPath(picturePath)
    { }
    RecordRef ref; // Today or Kept
    QByteArray bytes;
    // A record saved from its window: the picture it names and, when it
    // could be read here, its bytes (the database keeps them for every
    // terminal). Unset for a record moved whole: its picture goes with it.
    std::optional<QString> photoPath;
    std::optional<QByteArray> photo;
    // The record as this terminal read it before the user changed it. A
    // store shared by several terminals refuses the write (a conflict) when
    // another terminal has saved it since.
    std::optional<QByteArray> expected;
};

// One change of the ward, made whole or not at all: records written, the
// layout replaced, records removed. At every instant each bed names a
// record that is there.
struct WardChange {
    QList<RecordWrite> writes;
    std::optional<LayoutLines> layout;
    // The layout this change was made from. A store shared by several
    // terminals writes only the beds and rooms that differ from it, and
    // refuses the change (a conflict) when one of them differs there now.
    std::optional<LayoutLines> base;
    QList<RecordRef> removals; // Today or Kept
    // Today's records (by key) that are removed only while they still hold
    // what this terminal read: a renamed patient's old record. A store
    // shared by several terminals refuses the change (a conflict) otherwise.
    QMap<QString, QByteArray> removedAsRead;
    // The history's events of this change, stored with it or not at all;
    // an event whose id is already stored is not stored again.
    QList<HistoryEvent> events;

    bool isEmpty() const { return writes.isEmpty() && !layout && removals.isEmpty() && events.isEmpty(); }
};

namespace storetext {
// A change refused because another terminal changed the same thing first.
inline const QString ChangedElsewhere = QStringLiteral("他の端末で変更されました。\r最新の状態を表示します。");
// The board's banner while the ward's server cannot be reached.
inline const QString ServerLost = QStringLiteral("サーバーに接続できません。再接続を待っています（閲覧のみ）");
} // namespace storetext

enum class ChangeResult {
    Done,
    Failed,
    Conflict, // another terminal changed the same bed, room or patient first
};

// What a day's snapshot copied. A file that could not be copied keeps its
// earlier copy; the others are copied all the same.
struct SnapshotCopy {
    QStringList copied;   // names as shown to the user
    QStringList failed;   // "name: reason"
    QStringList kept;     // the day's earlier copy kept in place of this one
    bool started = false; // the day's snapshot could be made at all
};

class WardStore {
public:
    virtual ~WardStore() = default;

    // Holds the ward for this run. False, with the message for the user,
    // when another run holds it or the lock cannot be made.
    virtual bool lock(QString *message) = 0;
    // Lets the next run have it.
    virtual void unlock() = 0;
    // Readies the ward for the run, once it is locked. False, with the
    // message for the user, when the run cannot go on; an empty message means
    // an unexpected failure, for the error report.
    virtual bool prepare(QString *message) = 0;
    // The folder the ward's files are kept in; empty for the database.
    virtual QString dataFolder() const = 0;

    // Today's layout (an empty snapshot name) or a snapshot's.
    virtual StoredLayout readLayout(const QString &snapshot) = 0;

    // A record's bytes exactly as stored (code page 932 lines).
    virtual StoreRead readRecord(const RecordRef &ref, QByteArray *bytes, QString *error) = 0;
    virtual bool hasRecord(const RecordRef &ref) = 0;
    // The keys of the kept records, ascending.
    virtual QStringList keptRecords() = 0;
    // The picture a record names (storedPath as the record holds it).
    virtual bool readPhoto(const RecordRef &ref, const QString &storedPath, QByteArray *bytes) = 0;
    // Where a chosen picture is copied so that every login account sharing
    // the data folder can see it; empty when the record keeps the path as
    // chosen (a folder of one account's own, or the database's own copy).
    virtual QString sharedPhotoFolder() const { return QString(); }

    virtual ChangeResult apply(const WardChange &change, QString *error) = 0;
    // The history, oldest first; false with *error when it cannot be read.
    virtual bool readHistory(QList<HistoryEvent> *events, QString *error) = 0;

    virtual bool hasFacility() = 0;
    virtual StoreRead readFacility(QByteArray *bytes, QString *error) = 0;
    // expected: the bytes this terminal read (empty when there were none).
    // A store shared by several terminals refuses the write (a conflict)
    // when another terminal has written the facility since.
    virtual ChangeResult writeFacility(const QByteArray &bytes, const std::optional<QByteArray> &expected,
                                       QString *error)
        = 0;

    // The snapshots by name, ascending.
    virtual QStringList snapshots() = 0;
    // Copies today's records and layout into the snapshot of day; a part
    // named keepIfPresent keeps the day's earlier copy when there is one.
    virtual SnapshotCopy takeSnapshot(const QString &day, const QString &keepIfPresent) = 0;
    // Removes the snapshot of exactly that name; *error names what stayed.
    // The events are stored with the deletion, or neither happens.
    virtual bool removeSnapshot(const QString &name, const QList<HistoryEvent> &events, QString *error) = 0;

    // What a store shared by several terminals tells the board.
    enum class Event {
        Changed,  // another terminal changed the ward: read it again
        Lost,     // the server cannot be reached: nothing can be changed
        Regained, // connected again: read everything again
    };
    virtual void setChangeListener(std::function<void(Event)> listener) = 0;

    // Where the ward's staff accounts ("Pass") and options ("Option") are
    // kept; null when they are the user's own settings file.
    virtual SettingsStore *wardSettings() = 0;
};

// The settings store holding the ward's staff accounts and options.
inline SettingsStore &wardSettings(const AppServices &services)
{
    SettingsStore *ward = services.store ? services.store->wardSettings() : nullptr;
    return ward ? *ward : *services.settings;
}

} // namespace velto

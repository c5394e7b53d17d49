#include "folderstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/appcontext.h"
#include "core/filenames.h"
#include "core/platform.h"
#include "core/settingsstore.h"
#include "core/startup.h"
#include "core/textfile.h"
#include "core/wardlocation.h"
#include "rawfiles.h"

namespace velto {

namespace {

// A deleted snapshot's folder, put aside until it is removed whole; hidden,
// so no list of snapshots ever shows it.
const QString DeletedSnapshotPrefix = QStringLiteral(".removing-");
// Beside a snapshot being copied; one left by a run that ended names the
// only folder that can hold its half-written copies.
const QString CopyingSnapshotPrefix = QStringLiteral(".copying-");

const QString FacilityFile = QStringLiteral("HOSPITAL_INFO.WBD");

// One layout file; a line that does not decode fails the part.
LayoutPart readLayoutFile(const QString &path)
{
    LayoutPart part;
    if (!QFileInfo::exists(path))
        return part;
    QList<int> bad;
    QString error;
    if (!textfile::readLinesEach(path, &part.lines, &bad, &error)) {
        part.lines.clear();
        part.state = StoreRead::Failed;
        part.badLine = 1;
    } else if (!bad.isEmpty()) {
        part.lines.clear();
        part.state = StoreRead::Failed;
        part.badLine = bad.constFirst();
    } else {
        part.state = StoreRead::Read;
    }
    return part;
}

// A real folder, not a link that could lead the copies elsewhere.
bool ensureFolder(const QString &path)
{
    const QFileInfo fi(path);
    if (fi.isSymLink())
        return false;
    if (fi.exists())
        return fi.isDir();
    return textfile::makeDataFolder(path); // group-shared like its parent
}

// Deletes a folder's content without following any link: a link is removed
// as itself, so nothing outside the folder is touched.
bool removeTree(const QString &path, QString *error)
{
    const QFileInfoList entries
        = QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &fi : entries) {
        const bool ok = (fi.isDir() && !fi.isSymLink()) ? removeTree(fi.absoluteFilePath(), error)
                                                        : QFile::remove(fi.absoluteFilePath());
        if (!ok) {
            if (error->isEmpty())
                *error = QDir::toNativeSeparators(fi.absoluteFilePath());
            return false;
        }
    }
    if (!QDir().rmdir(path)) {
        *error = QDir::toNativeSeparators(path);
        return false;
    }
    return true;
}

std::filesystem::path fsPath(const QString &p)
{
    return std::filesystem::path(QFile::encodeName(p).toStdString());
}

// True when the regular file at path holds exactly data.
bool sameBytesOnDisk(const QString &path, const QByteArray &data)
{
    const QFileInfo fi(path);
    if (!fi.isFile() || fi.isSymLink() || fi.size() != data.size())
        return false;
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.readAll() == data;
}

// On a case-blind disk two keys may name one file.
bool sameFile(const QString &a, const QString &b)
{
    std::error_code ec;
    const bool same = std::filesystem::equivalent(fsPath(a), fsPath(b), ec);
    return !ec && same;
}

} // namespace

bool readRegularFile(const QString &path, QByteArray *data)
{
    if (path.isEmpty())
        return false;
    // Non-blocking open: opening a FIFO without a writer would wait forever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    *data = file.readAll();
    return file.error() == QFileDevice::NoError;
}

FolderStore::FolderStore(QString appDir, QString lockPath, std::unique_ptr<SettingsStore> sharedSettings)
    : m_appDir(std::move(appDir))
    , m_lockPath(lockPath.isEmpty() ? platform::instanceLockPath(m_appDir) : std::move(lockPath))
    , m_sharedSettings(std::move(sharedSettings))
{ }

FolderStore::~FolderStore() = default;

QString FolderStore::folder(const QString &relative) const
{
    return QDir(m_appDir).filePath(relative);
}

bool FolderStore::lock(QString *message)
{
    if (!m_lock)
        m_lock = std::make_unique<platform::InstanceLock>(m_lockPath);
    return lockDataFolder(*m_lock, message);
}

void FolderStore::unlock()
{
    m_lock.reset();
}

bool FolderStore::prepare(QString *message)
{
    message->clear();
    QDir app(m_appDir);
    // A shared folder whose DB is missing is a share not (fully) there: an
    // empty ward made here would hide the real one.
    if (m_sharedSettings && !QFileInfo(app.filePath(QStringLiteral("DB"))).isDir()) {
        *message = wardlocationtext::notFound(app.filePath(QStringLiteral("DB")));
        return false;
    }
    for (const QString &name : {QStringLiteral("DB"), QStringLiteral("BackUp"), QStringLiteral("DB/Out")}) {
        const QFileInfo fi(app.filePath(name));
        if (fi.isDir())
            continue;
        if (fi.exists() || !textfile::makeDataFolder(app.filePath(name)))
            return false;
    }
    // A change a crash interrupted is finished before anything reads DB;
    // one that cannot be finished must not be built upon.
    QString why;
    if (!textfile::completeInterruptedChange(app.filePath(QStringLiteral("DB")), &why)) {
        *message = startuptext::changeNotCompleted(why);
        return false;
    }
    // Half-written files of a run that crashed are not data.
    for (const QString &name : {QStringLiteral("DB"), QStringLiteral("DB/Out")})
        textfile::removeStaleStagingFiles(app.filePath(name));
    // Nor is a history line a crash cut short: it goes, never the lines before.
    textfile::cutTornLine(app.filePath(HistoryFile));
    // One look at BackUp: snapshots deleted by a run that ended before
    // removing them, and the half-written copies of a backup that a run did
    // not finish. Only a marked folder is looked into, so start-up does not
    // grow with the years.
    const QDir backUp(app.filePath(QStringLiteral("BackUp")));
    const SnapshotCache stamp = backUpStamp();
    const rawfiles::Listing listing = rawfiles::listFolder(backUp.path());
    for (const QString &aside : listing.hiddenFolders) {
        if (!aside.startsWith(DeletedSnapshotPrefix))
            continue;
        QString ignored;
        removeTree(backUp.filePath(aside), &ignored);
    }
    for (const QString &marker : listing.hiddenFiles) {
        if (!marker.startsWith(CopyingSnapshotPrefix))
            continue;
        const QString day = marker.mid(CopyingSnapshotPrefix.size());
        if (isPlainFileName(day))
            textfile::removeStaleStagingFiles(backUp.filePath(day));
        QFile::remove(backUp.filePath(marker));
    }
    // What was removed was hidden: the snapshots listed stay as they are.
    rememberSnapshots(listing.folders, backUpStamp() == stamp ? stamp : SnapshotCache {});
    return true;
}

FolderStore::SnapshotCache FolderStore::backUpStamp() const
{
    SnapshotCache stamp;
    struct stat st { };
    if (::stat(QFile::encodeName(folder(QStringLiteral("BackUp"))).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return stamp;
    stamp.valid = true;
    stamp.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.ctimeNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    stamp.inode = st.st_ino;
    return stamp;
}

void FolderStore::rememberSnapshots(const QStringList &names, const SnapshotCache &stamp)
{
    // A folder's time moves in clock ticks: one changed within the last
    // moments could change again unseen under the same time, so its list
    // is not kept.
    constexpr qint64 settledNs = 2000000000;
    const qint64 nowNs = QDateTime::currentMSecsSinceEpoch() * 1000000;
    m_snapshotCache = stamp;
    m_snapshotCache.valid = stamp.valid && nowNs - stamp.mtimeNs >= settledNs;
    m_snapshotCache.names = names;
}

bool FolderStore::readHistory(QList<HistoryEvent> *events, QString *error)
{
    const QString path = folder(HistoryFile);
    if (!QFileInfo::exists(path)) {
        events->clear();
        return true;
    }
    QByteArray bytes;
    if (!textfile::readFile(path, &bytes, error))
        return false;
    *events = velto::readHistory(bytes);
    return true;
}

QString FolderStore::dataFolder() const
{
    return m_appDir;
}

QString FolderStore::recordPath(const RecordRef &ref) const
{
    if (!isPlainFileName(ref.key))
        return QString();
    switch (ref.place) {
    case RecordPlace::Today:
        return folder(QStringLiteral("DB/") + ref.key);
    case RecordPlace::Kept:
        return folder(QStringLiteral("DB/Out/") + ref.key);
    case RecordPlace::Snapshot:
        if (!isPlainFileName(ref.snapshot))
            return QString();
        return folder(QStringLiteral("BackUp/") + ref.snapshot + QLatin1Char('/') + ref.key);
    }
    return QString();
}

StoredLayout FolderStore::readLayout(const QString &snapshot)
{
    StoredLayout layout;
    if (!snapshot.isEmpty() && !isPlainFileName(snapshot))
        return layout;
    const QDir dir(folder(snapshot.isEmpty() ? QStringLiteral("DB") : QStringLiteral("BackUp/") + snapshot));
    // A part that is missing or damaged leaves the later ones unread.
    layout.beds = readLayoutFile(dir.filePath(layoutfile::Beds));
    if (layout.beds.state != StoreRead::Read)
        return layout;
    layout.roomNumbers = readLayoutFile(dir.filePath(layoutfile::RoomNumbers));
    if (layout.roomNumbers.state != StoreRead::Read)
        return layout;
    layout.roomColours = readLayoutFile(dir.filePath(layoutfile::RoomColours));
    return layout;
}

StoreRead FolderStore::readRecord(const RecordRef &ref, QByteArray *bytes, QString *error)
{
    const QString path = recordPath(ref);
    if (path.isEmpty())
        return StoreRead::Missing;
    if (!QFileInfo(path).isFile()) {
        // A snapshot folder copied from a Windows PC names its records in
        // code page 932 bytes.
        QByteArray name;
        if (ref.place != RecordPlace::Snapshot || !textfile::encode(ref.key, &name, nullptr))
            return StoreRead::Missing;
        const QString dir = QFileInfo(path).path();
        QList<QByteArray> present;
        QString listError;
        if (!rawfiles::listFiles(dir, &present, &listError) || !present.contains(name))
            return StoreRead::Missing;
        return rawfiles::readFile(dir, name, bytes, error) ? StoreRead::Read : StoreRead::Failed;
    }
    return textfile::readFile(path, bytes, error) ? StoreRead::Read : StoreRead::Failed;
}

bool FolderStore::hasRecord(const RecordRef &ref)
{
    const QString path = recordPath(ref);
    return !path.isEmpty() && QFileInfo::exists(path);
}

QStringList FolderStore::keptRecords()
{
    return rawfiles::listNames(folder(QStringLiteral("DB/Out")), rawfiles::Entries::Files);
}

bool FolderStore::readPhoto(const RecordRef &, const QString &storedPath, QByteArray *bytes)
{
    return readRegularFile(storedPath, bytes);
}

QString FolderStore::sharedPhotoFolder() const
{
    return m_sharedSettings ? folder(QStringLiteral("DB/photos")) : QString();
}

ChangeResult FolderStore::apply(const WardChange &change, QString *error)
{
    const QString db = folder(QStringLiteral("DB"));
    if (!QFileInfo(db).isDir()) {
        if (error)
            *error = QDir::toNativeSeparators(db);
        return ChangeResult::Failed;
    }
    auto pathOf = [&](const RecordRef &ref) {
        const QString path = ref.place == RecordPlace::Snapshot ? QString() : recordPath(ref);
        if (path.isEmpty() && error)
            *error = ref.key;
        return path;
    };
    // Everything is encoded and every path known before anything is staged.
    textfile::Change files(db);
    bool keptFolderNeeded = false;
    QStringList writtenPaths;
    for (const RecordWrite &w : change.writes) {
        const QString path = pathOf(w.ref);
        if (path.isEmpty())
            return ChangeResult::Failed;
        keptFolderNeeded = keptFolderNeeded || w.ref.place == RecordPlace::Kept;
        files.write(path, w.bytes);
        writtenPaths << path;
    }
    if (change.layout) {
        const QDir dir(db);
        const QList<QPair<QString, const QStringList *>> parts {
            {layoutfile::Beds, &change.layout->beds},
            {layoutfile::RoomNumbers, &change.layout->roomNumbers},
            {layoutfile::RoomColours, &change.layout->roomColours},
        };
        for (const auto &part : parts) {
            QByteArray bytes;
            const QString path = dir.filePath(part.first);
            if (!textfile::encodeLines(path, *part.second, &bytes, error))
                return ChangeResult::Failed;
            files.write(path, bytes);
        }
    }
    for (const RecordRef &r : change.removals) {
        const QString path = pathOf(r);
        if (path.isEmpty())
            return ChangeResult::Failed;
        // Removing what this change writes would lose it.
        const bool written = std::any_of(writtenPaths.begin(), writtenPaths.end(),
                                         [&](const QString &w) { return w == path || sameFile(w, path); });
        if (!written)
            files.remove(path);
    }
    for (const HistoryEvent &e : change.events) {
        QByteArray line;
        if (!encodeHistoryLine(e, &line, error))
            return ChangeResult::Failed;
        files.append(folder(HistoryFile), line, e.id);
    }
    if (keptFolderNeeded && !textfile::makeDataFolder(folder(QStringLiteral("DB/Out")))) {
        if (error)
            *error = QDir::toNativeSeparators(folder(QStringLiteral("DB/Out")));
        return ChangeResult::Failed;
    }
    // One terminal at a time: the base never differs from the files.
    return files.commit(error) ? ChangeResult::Done : ChangeResult::Failed;
}

bool FolderStore::hasFacility()
{
    return QFileInfo(folder(QStringLiteral("DB/") + FacilityFile)).isFile();
}

StoreRead FolderStore::readFacility(QByteArray *bytes, QString *error)
{
    const QString path = folder(QStringLiteral("DB/") + FacilityFile);
    if (!QFileInfo::exists(path))
        return StoreRead::Missing;
    return textfile::readFile(path, bytes, error) ? StoreRead::Read : StoreRead::Failed;
}

ChangeResult FolderStore::writeFacility(const QByteArray &bytes, const std::optional<QByteArray> &, QString *error)
{
    // The folder's lock keeps every other program out: nobody else writes.
    return textfile::writeAtomic(folder(QStringLiteral("DB/") + FacilityFile), bytes, error) ? ChangeResult::Done
                                                                                             : ChangeResult::Failed;
}

QStringList FolderStore::snapshots()
{
    // Taken before the listing: a change made while it runs shows at the
    // next look. The program's own changes forget the list themselves, as
    // the folder's time may not move within one clock tick.
    const SnapshotCache stamp = backUpStamp();
    if (!stamp.valid)
        return {};
    if (m_snapshotCache.valid && m_snapshotCache.mtimeNs == stamp.mtimeNs && m_snapshotCache.ctimeNs == stamp.ctimeNs
        && m_snapshotCache.inode == stamp.inode)
        return m_snapshotCache.names;
    const QStringList names = rawfiles::listNames(folder(QStringLiteral("BackUp")), rawfiles::Entries::Folders);
    rememberSnapshots(names, stamp);
    return names;
}

SnapshotCopy FolderStore::takeSnapshot(const QString &day, const QString &keepIfPresent)
{
    // The list known before the backup, with this day's folder added, is
    // the list after it; every other path forgets it.
    const SnapshotCache before = m_snapshotCache;
    m_snapshotCache = {};
    const auto keepList = [this, before, day] {
        if (!before.valid || !QFileInfo(folder(QStringLiteral("BackUp/") + day)).isDir())
            return;
        QStringList names = before.names;
        const auto at = std::lower_bound(names.begin(), names.end(), day);
        if (at == names.end() || *at != day)
            names.insert(at, day);
        m_snapshotCache = backUpStamp();
        m_snapshotCache.names = names;
    };
    SnapshotCopy r;
    const QString db = folder(QStringLiteral("DB"));
    const QString backUp = folder(QStringLiteral("BackUp"));
    // An empty or odd day name would put the copies beside the snapshots.
    if (!isPlainFileName(day))
        return r;
    const QString target = QDir(backUp).filePath(day);
    if (!ensureFolder(db) || !ensureFolder(backUp) || !ensureFolder(target))
        return r;

    // A backup of this day cut short by a crash left its staging files here.
    textfile::removeStaleStagingFiles(target);
    // Marked while copies are staged in it, for a start-up after a crash.
    const QString marker = QDir(backUp).filePath(CopyingSnapshotPrefix + day);
    QFile markerFile(marker);
    if (!markerFile.open(QIODevice::WriteOnly))
        return r;
    markerFile.close();
    struct Unmark {
        QString path;
        std::function<void()> after;
        ~Unmark()
        {
            QFile::remove(path);
            after();
        }
    } unmark {marker, keepList};

    // Ordinary files only: "DB/Out" and any other subfolder stay out. Hidden
    // files and names in code page 932 bytes are records all the same.
    QList<QByteArray> files;
    QString listError;
    if (!rawfiles::listFiles(db, &files, &listError))
        return r;
    r.started = true;
    QList<QPair<QString, QByteArray>> copies;
    QStringList names;
    for (const QByteArray &raw : files) {
        const QString shown = rawfiles::shownName(raw);
        if (raw.startsWith(".~velto-"))
            continue; // a save that a crash cut short
        QString error;
        QByteArray data;
        if (!rawfiles::qtCanName(raw)) {
            // Rare (a folder copied from another PC): copied on its own.
            if (rawfiles::readFile(db, raw, &data, &error) && rawfiles::writeFileAtomic(target, raw, data, &error))
                r.copied << shown;
            else
                r.failed << shown + QStringLiteral(": ") + error;
            continue;
        }
        const QString name = QFile::decodeName(raw);
        if (!keepIfPresent.isEmpty() && name == keepIfPresent && QFileInfo::exists(QDir(target).filePath(name))) {
            r.kept << name;
            continue;
        }
        if (rawfiles::readFile(db, raw, &data, &error)) {
            // A copy already holding these bytes (a second backup the same
            // day) was flushed when it was made: it stays as it is.
            const QString copy = QDir(target).filePath(name);
            if (sameBytesOnDisk(copy, data)) {
                r.copied << name;
                continue;
            }
            copies.append({copy, data});
            names << name;
        } else {
            r.failed << shown + QStringLiteral(": ") + error;
        }
    }
    // Each old copy is replaced only once its new one is whole.
    QStringList errors;
    const QVector<bool> done = textfile::writeEachAtomic(copies, &errors);
    for (int i = 0; i < names.size(); ++i) {
        if (done.at(i))
            r.copied << names.at(i);
        else
            r.failed << names.at(i);
    }
    return r;
}

bool FolderStore::removeSnapshot(const QString &name, const QList<HistoryEvent> &events, QString *error)
{
    m_snapshotCache = {};
    error->clear();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/'))
        || name.contains(QLatin1Char('\\'))) {
        *error = name;
        return false;
    }
    const QString backUp = folder(QStringLiteral("BackUp"));
    const QFileInfo target(QDir(backUp).filePath(name));
    const QString base = QFileInfo(backUp).canonicalFilePath();
    if (target.isSymLink() || !target.isDir() || base.isEmpty()
        || QFileInfo(target.canonicalFilePath()).path() != base) {
        *error = QDir::toNativeSeparators(target.filePath());
        return false;
    }
    // Out of sight with its events in one change; the folder put aside is
    // removed after it, or at the next start.
    const QString aside = QDir(backUp).filePath(DeletedSnapshotPrefix + name);
    if (QFileInfo::exists(aside) && !removeTree(aside, error))
        return false;
    textfile::Change change(folder(QStringLiteral("DB")));
    for (const HistoryEvent &e : events) {
        QByteArray line;
        if (!encodeHistoryLine(e, &line, error))
            return false;
        change.append(folder(HistoryFile), line, e.id);
    }
    change.moveAside(target.absoluteFilePath(), aside);
    if (!change.commit(error))
        return false;
    QString ignored;
    removeTree(aside, &ignored);
    return true;
}

SettingsStore *FolderStore::wardSettings()
{
    return m_sharedSettings.get(); // null: the user's own settings file
}

} // namespace velto

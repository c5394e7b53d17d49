#include "wardtransfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "connectionstring.h"
#include "core/settingsstore.h"
#include "core/textfile.h"
#include "pgstore.h"
#include "store/folderstore.h"
#include "store/rawfiles.h"

namespace velto {

namespace {

const QString PhotoKey = QStringLiteral("400:");

bool isLayoutOrFacility(const QString &name)
{
    return name == layoutfile::Beds || name == layoutfile::RoomNumbers || name == layoutfile::RoomColours
           || name == QLatin1String("HOSPITAL_INFO.WBD");
}

// A record's key from its file name's bytes (code page 932 names included).
QString keyOf(const QByteArray &raw)
{
    if (rawfiles::qtCanName(raw))
        return QFile::decodeName(raw);
    QString key;
    return textfile::decode(raw, &key, nullptr) ? key : QString();
}

// The regular files of a folder, whole; false with *error naming the first
// that cannot be read.
bool readFolder(const QString &dir, QList<WardImage::File> *files, QString *error)
{
    QList<QByteArray> names;
    if (!QFileInfo(dir).isDir())
        return true;
    if (!rawfiles::listFiles(dir, &names, error))
        return false;
    for (const QByteArray &name : names) {
        if (name.startsWith(".~velto-"))
            continue; // a save a crash cut short: no data
        WardImage::File f {name, QByteArray()};
        QString why;
        if (!rawfiles::readFile(dir, name, &f.content, &why)) {
            *error = QDir::toNativeSeparators(dir + QLatin1Char('/') + rawfiles::shownName(name));
            return false;
        }
        files->append(f);
    }
    return true;
}

QString photoPathOf(const QByteArray &record)
{
    QStringList lines;
    QList<int> bad;
    textfile::decodeLinesEach(record, &lines, &bad);
    QString path;
    for (const QString &line : std::as_const(lines)) {
        if (line.startsWith(PhotoKey))
            path = line.mid(PhotoKey.size()); // the last line of a key wins
    }
    return path;
}

bool readRecords(const QString &dir, RecordPlace place, WardImage *ward, QStringList *report, QString *error)
{
    QList<WardImage::File> files;
    if (!readFolder(dir, &files, error))
        return false;
    for (const WardImage::File &f : std::as_const(files)) {
        const QString key = keyOf(f.name);
        if (key.isEmpty() || (place == RecordPlace::Today && isLayoutOrFacility(key)))
            continue;
        WardImage::Record r {place, key, f.content, photoPathOf(f.content), std::nullopt};
        if (!r.photoPath.isEmpty()) {
            QByteArray photo;
            if (readRegularFile(r.photoPath, &photo))
                r.photo = photo;
            else
                report->append(transfertext::MissingPhoto.arg(r.photoPath, key));
        }
        ward->records << r;
    }
    return true;
}

} // namespace

bool importFolder(const QString &dir, const SettingsStore &settings, PgStore &store, QStringList *report,
                  QString *error)
{
    const QString db = QDir(dir).filePath(QStringLiteral("DB"));
    if (!QFileInfo(db).isDir()) {
        *error = transfertext::NoWard.arg(QDir::toNativeSeparators(dir));
        return false;
    }
    FolderStore folder(dir);
    if (!folder.lock(error))
        return false;
    // A change a crash interrupted is finished first, as a start would.
    QString why;
    if (!textfile::completeInterruptedChange(db, &why)) {
        *error = why;
        return false;
    }
    bool empty = false;
    if (!store.isEmptyWard(&empty, &why)) {
        *error = transfertext::NotWritten.arg(why);
        return false;
    }
    if (!empty) {
        *error = transfertext::NotEmpty;
        return false;
    }

    WardImage ward;
    QStringList notes;
    const StoredLayout layout = folder.readLayout(QString());
    for (const auto &[name, part] :
         {std::pair {layoutfile::Beds, &layout.beds}, std::pair {layoutfile::RoomNumbers, &layout.roomNumbers},
          std::pair {layoutfile::RoomColours, &layout.roomColours}}) {
        if (part->state == StoreRead::Failed) {
            *error = transfertext::Unreadable.arg(
                textfile::undecodableLineText(QDir::toNativeSeparators(QDir(db).filePath(name)), part->badLine));
            return false;
        }
    }
    if (layout.beds.state == StoreRead::Read) {
        LayoutLines l {layout.beds.lines, layout.roomNumbers.lines, layout.roomColours.lines};
        while (l.beds.size() < 240)
            l.beds << QString();
        while (l.roomNumbers.size() < 30)
            l.roomNumbers << QString();
        while (l.roomColours.size() < 30)
            l.roomColours << QStringLiteral("0");
        ward.layout = l;
    }
    QString unreadable;
    if (!readRecords(db, RecordPlace::Today, &ward, &notes, &unreadable)
        || !readRecords(QDir(db).filePath(QStringLiteral("Out")), RecordPlace::Kept, &ward, &notes, &unreadable)) {
        *error = transfertext::Unreadable.arg(unreadable);
        return false;
    }
    // The snapshots the board's date list can show.
    for (const QString &day : folder.snapshots()) {
        if (day.size() != SnapshotNameLength)
            continue;
        QList<WardImage::File> files;
        if (!readFolder(folder.folder(QStringLiteral("BackUp/") + day), &files, &unreadable)) {
            *error = transfertext::Unreadable.arg(unreadable);
            return false;
        }
        ward.snapshots.insert(day, files);
    }
    QByteArray facility;
    switch (folder.readFacility(&facility, &why)) {
    case StoreRead::Read:
        ward.facility = facility;
        break;
    case StoreRead::Missing:
        break;
    case StoreRead::Failed:
        *error = transfertext::Unreadable.arg(why);
        return false;
    }
    // The history, whole: a line that is no event stops the import.
    {
        const QString path = folder.folder(HistoryFile);
        QByteArray bytes;
        if (QFileInfo::exists(path) && !textfile::readFile(path, &bytes, &why)) {
            *error = transfertext::Unreadable.arg(why);
            return false;
        }
        int bad = 0;
        ward.history = readHistory(bytes, nullptr, &bad);
        if (bad > 0) {
            *error = transfertext::Unreadable.arg(QDir::toNativeSeparators(path));
            return false;
        }
    }
    // This user's staff accounts and options, as the settings file has them.
    const int count = settings.value(QStringLiteral("Pass"), QStringLiteral("cnt")).toInt();
    if (count > 0)
        ward.settings.insert(QStringLiteral("Pass/cnt"), QString::number(count));
    for (int i = 1; i <= count; ++i)
        ward.settings.insert(QStringLiteral("Pass/user%1").arg(i),
                             settings.value(QStringLiteral("Pass"), QStringLiteral("user%1").arg(i)));
    for (const char *key : {"backup_on_off", "backup_off_time", "midashi_on_off"}) {
        if (settings.contains(QStringLiteral("Option"), QLatin1String(key)))
            ward.settings.insert(QStringLiteral("Option/") + QLatin1String(key),
                                 settings.value(QStringLiteral("Option"), QLatin1String(key)));
    }

    if (!store.importWard(ward, &why)) {
        *error = transfertext::NotWritten.arg(why);
        return false;
    }
    int today = 0, kept = 0;
    for (const WardImage::Record &r : std::as_const(ward.records))
        (r.place == RecordPlace::Kept ? kept : today) += 1;
    *report = notes;
    report->append(transfertext::Imported.arg(today)
                       .arg(kept)
                       .arg(ward.snapshots.size())
                       .arg(ward.facility ? transfertext::Present : transfertext::Absent)
                       .arg(count));
    return true;
}

int runTransferCommand(const QStringList &args, const SettingsStore &settings, QStringList *out, QStringList *err,
                       int passwordIterations)
{
    const int import = int(args.indexOf(QStringLiteral("--import-folder")));
    const int exportAt = int(args.indexOf(QStringLiteral("--export-folder")));
    if (import < 0 && exportAt < 0)
        return -1;
    const int at = import >= 0 ? import : exportAt;
    const QString dir = args.value(at + 1);
    if (dir.isEmpty() || dir.startsWith(QLatin1String("--"))) {
        err->append(transfertext::NoFolderGiven);
        return 2;
    }
    const QString database = connectionstring::wardDatabase(settings);
    if (database.isEmpty()) {
        err->append(transfertext::NoDatabase.arg(QDir::toNativeSeparators(settings.filePath())));
        return 1;
    }
    PgStore store(database, QString());
    QString error;
    if (!store.open(&error, passwordIterations)) {
        err->append(store.connected()
                        ? error
                        : connectionstring::text::Unreachable.arg(connectionstring::serverName(database)));
        return 1;
    }
    const QString absolute = QFileInfo(dir).absoluteFilePath();
    const bool done = import >= 0 ? importFolder(absolute, settings, store, out, &error)
                                  : exportFolder(store, absolute, out, &error);
    if (!done) {
        err->append(error);
        return 1;
    }
    return 0;
}

bool exportFolder(PgStore &store, const QString &dir, QStringList *report, QString *error)
{
    const QDir target(dir);
    if (target.exists()) {
        if (!target.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).isEmpty()) {
            *error = transfertext::TargetNotEmpty.arg(QDir::toNativeSeparators(dir));
            return false;
        }
    } else if (!textfile::makeDataFolder(dir)) {
        *error = transfertext::TargetNotMade.arg(QDir::toNativeSeparators(dir));
        return false;
    }
    WardImage ward;
    QString why;
    if (!store.readWard(&ward, &why)) {
        *error = transfertext::ExportFailed.arg(why);
        return false;
    }
    FolderStore out(dir);
    auto fail = [&](const QString &what) {
        *error = transfertext::ExportFailed.arg(what);
        return false;
    };
    if (!out.prepare(&why))
        return fail(why.isEmpty() ? QDir::toNativeSeparators(dir) : why);
    WardChange change;
    change.layout = ward.layout;
    int today = 0, kept = 0, photos = 0;
    for (const WardImage::Record &r : std::as_const(ward.records)) {
        change.writes.append(
            {r.place == RecordPlace::Kept ? RecordRef::kept(r.key) : RecordRef::today(r.key), r.bytes});
        (r.place == RecordPlace::Kept ? kept : today) += 1;
    }
    if (out.apply(change, &why) != ChangeResult::Done)
        return fail(why);
    if (ward.facility && out.writeFacility(*ward.facility, std::nullopt, &why) != ChangeResult::Done)
        return fail(why);
    for (auto day = ward.snapshots.constBegin(); day != ward.snapshots.constEnd(); ++day) {
        const QString folder = out.folder(QStringLiteral("BackUp/") + day.key());
        if (!textfile::makeDataFolder(folder))
            return fail(QDir::toNativeSeparators(folder));
        for (const WardImage::File &f : day.value()) {
            if (!rawfiles::writeFileAtomic(folder, f.name, f.content, &why))
                return fail(why);
        }
    }
    // The history as the folder store writes it, line for line.
    if (!ward.history.isEmpty()) {
        QByteArray bytes;
        for (const HistoryEvent &e : std::as_const(ward.history)) {
            QByteArray line;
            if (!encodeHistoryLine(e, &line, &why))
                return fail(why);
            bytes += line;
        }
        if (!textfile::makeDataFolder(out.folder(QStringLiteral("log")))
            || !textfile::writeAtomic(out.folder(HistoryFile), bytes, &why))
            return fail(why.isEmpty() ? QDir::toNativeSeparators(out.folder(HistoryFile)) : why);
    }
    // The pictures by their own file names; the records keep their paths.
    for (const WardImage::Record &r : std::as_const(ward.records)) {
        if (!r.photo)
            continue;
        QString name = r.photoPath;
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        name = QFileInfo(name).fileName();
        if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
            continue;
        const QString photoDir = out.folder(QStringLiteral("photos"));
        if (!textfile::makeDataFolder(photoDir)
            || !textfile::writeAtomic(QDir(photoDir).filePath(name), *r.photo, &why))
            return fail(why.isEmpty() ? QDir::toNativeSeparators(photoDir) : why);
        ++photos;
    }
    report->append(transfertext::Exported.arg(today)
                       .arg(kept)
                       .arg(ward.snapshots.size())
                       .arg(ward.facility ? transfertext::Present : transfertext::Absent)
                       .arg(photos));
    report->append(transfertext::AccountsNotExported);
    return true;
}

} // namespace velto

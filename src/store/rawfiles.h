#pragma once
// Files addressed by the bytes of their names. A folder copied from a
// Windows PC can hold names in code page 932 bytes, which are no valid
// UTF-8: Qt's path strings cannot name such a file, so these calls work on
// the bytes themselves.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace velto::rawfiles {

// The regular files directly in dir (hidden ones included; folders, links
// and devices left out), as their names' bytes, in byte order.
bool listFiles(const QString &dir, QList<QByteArray> *names, QString *error);

// One pass over dir: the names Qt shows for its plain folders and regular
// files, as QDir::entryList would give them without links and devices,
// visible ones in QDir::Name order and hidden ones (a leading '.') apart.
// Reads the entry types from the listing itself, so ten thousand snapshot
// folders cost one pass and no stat call each.
struct Listing {
    QStringList folders, files;             // sorted
    QStringList hiddenFolders, hiddenFiles; // in listing order
};
Listing listFolder(const QString &dir);

enum class Entries { Folders, Files };
// The visible folders or files of dir, sorted.
QStringList listNames(const QString &dir, Entries kind);

// Whether Qt's path strings can name the file (the name is valid UTF-8 and
// comes back as the same bytes).
bool qtCanName(const QByteArray &name);

// A name for messages: as it stands when Qt can name it, else decoded from
// code page 932, else with its bytes written as hex.
QString shownName(const QByteArray &name);

// Reads a regular file whole; a FIFO or device is refused, never waited on.
bool readFile(const QString &dir, const QByteArray &name, QByteArray *data, QString *error);

// Replaces dir/name atomically through a staging file beside it.
bool writeFileAtomic(const QString &dir, const QByteArray &name, const QByteArray &data, QString *error);

// Renames within dir and never replaces: false when `to` exists.
bool renameNoReplace(const QString &dir, const QByteArray &from, const QByteArray &to, QString *error);

} // namespace velto::rawfiles

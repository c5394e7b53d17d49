#pragma once
// Where the ward's data is: the folder beside the program (as a copy run
// from a home folder has it), or the folder the settings name under
// [Ward] folder=, read from the user's settings file and, in the packaged
// program, from the system-wide defaults under it.
#include <QMap>
#include <QString>

namespace velto {

class SettingsStore;

namespace wardkey {
inline const QString Section = QStringLiteral("Ward");
inline const QString Folder = QStringLiteral("folder");
inline const QString Database = QStringLiteral("database");
} // namespace wardkey

namespace wardlocationtext {
// The folder the settings name is not there (an unmounted share).
QString notFound(const QString &path);
// A relative path would depend on where the program was started from.
QString notAbsolute(const QString &value);
// Something else than a folder has the name.
QString notAFolder(const QString &path);
// This login account may not write there (not in the folder's group).
QString notWritable(const QString &path);
} // namespace wardlocationtext

struct WardLocation {
    QString dataFolder; // DB, BackUp and log live here
    bool named = false; // set by [Ward] folder=: shared, and never created
    QString database;   // [Ward] database=, empty for the folder store
    QString error;      // why the program cannot start; empty when it can
};

// The [Ward] section of a system-wide settings file, read without touching
// the file. A missing file has no keys; one that cannot be read is false
// with the message for the user.
bool readWardDefaults(const QString &path, QMap<QString, QString> *ward, QString *message);

// The user's [Ward] keys win over the system-wide ones.
QString wardValue(const SettingsStore &user, const QMap<QString, QString> &defaults, const QString &key);

// Resolves and checks the data folder. A named folder must exist as a
// folder this account can write, with its DB; neither is ever created, so
// that a share that is not mounted never becomes an empty ward.
WardLocation locateWard(const SettingsStore &user, const QMap<QString, QString> &defaults, const QString &programDir);

} // namespace velto

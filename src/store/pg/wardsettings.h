#pragma once
// The ward's staff accounts ("Pass") and options ("Option") kept in the ward
// database, shared by every terminal, and read and written as the settings
// file's sections are. Passwords are stored only as PBKDF2 hashes.
#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QString>

#include "core/appcontext.h"
#include "core/settingsstore.h"

namespace velto {

// The accounts of a settings map ("Pass/cnt", "Pass/user1", ...), split as
// the login splits them. False, with the key, for a line that does not split.
bool staffRows(const QMap<QString, QString> &values, QList<StaffAccount> *rows, QString *badKey);
// Replaces the accounts and sets the options ("Option/...") of values, in the
// caller's transaction. Passwords are written as they are given (hashes).
bool writeAccountsAndOptions(QSqlDatabase &db, const QList<StaffAccount> &rows, const QMap<QString, QString> &values,
                             QString *error);

class WardDatabaseSettings : public SettingsStore {
public:
    // connectionName: an open connection to the ward database.
    explicit WardDatabaseSettings(QString connectionName, int iterations = 100000);

    // Reads the accounts and options; false with *error.
    bool load(QString *error);
    // Writes every account and option in one transaction. A password typed
    // anew is hashed; one that is still its account's stored hash is kept.
    bool commit(QString *error = nullptr) override;
    void reload() override;
    bool refresh() override;
    int iterations() const { return m_iterations; }

private:
    QString m_connection;
    int m_iterations;
};

} // namespace velto

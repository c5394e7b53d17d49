#pragma once
// The ward's staff accounts ("Pass") and options ("Option") kept in the ward
// database, shared by every terminal, and read and written as the settings
// file's sections are. Passwords are stored only as PBKDF2 hashes.
#include <QString>

#include "core/settingsstore.h"

namespace velto {

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

private:
    QString m_connection;
    int m_iterations;
};

} // namespace velto

#pragma once
// The staff accounts ("Pass") and options ("Option") of a ward whose data
// folder several login accounts of a PC share: "<folder>/ward.ini", readable
// and writable by the folder's group. Its passwords are stored only as
// PBKDF2 hashes, as the ward database keeps them.
#include "core/settingsstore.h"
#include "passwordhash.h"

namespace velto {

inline const QString SharedWardSettingsFile = QStringLiteral("ward.ini");

class SharedWardSettings : public SettingsStore {
public:
    explicit SharedWardSettings(const QString &dataFolder, int iterations = passwordhash::DefaultIterations);
    // A password typed anew is hashed before the file is written; a stored
    // hash is kept as it is.
    bool commit(QString *error = nullptr) override;

private:
    int m_iterations;
};

} // namespace velto

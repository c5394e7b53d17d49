#pragma once
// Which store keeps the ward: the folder beside the program, or the ward
// database when the settings key [Ward] database names one.
#include <QString>
#include <memory>

#include "store/wardstore.h"

namespace velto {

class SettingsStore;
struct WardLocation;

// The ward's store, ready for the run's lock. Null, with the message for the
// user in *message, when the database cannot be reached or used; no folder is
// touched then. In database mode the lock is this user's own, beside the
// settings file (there is no shared folder to lock).
std::unique_ptr<WardStore> openWardStore(const QString &appDir, const SettingsStore &settings, QString *message,
                                         int passwordIterations = 100000);
// The same for a located ward: its database, else its data folder, shared
// through "ward.ini" when the settings name the folder.
std::unique_ptr<WardStore> openWardStore(const WardLocation &where, const SettingsStore &settings, QString *message,
                                         int passwordIterations = 100000);

} // namespace velto

#pragma once
#include <QString>

namespace velto {
struct AppContext;
namespace platform {
class InstanceLock;
}

namespace startuptext {
// Another run holds the data folder; on another computer its name follows.
QString alreadyRunning(const QString &otherComputer = QString());
// The lock file of the data folder could not be made.
QString lockNotCreated(const QString &lockPath);
// The settings file exists but cannot be read.
QString settingsUnreadable(const QString &settingsPath);
// A change a crash interrupted could not be finished; why names the file.
QString changeNotCompleted(const QString &why);
} // namespace startuptext

// Takes the data folder's lock for the run. False when another run, on this
// computer or another, holds it or it cannot be made; *message says which.
bool lockDataFolder(platform::InstanceLock &lock, QString *message);

// Data folders, today's era date and the first-start settings.
// False when the program must end (the failure has been reported). A
// settings file that exists but cannot be read ends the start untouched.
bool prepareDataFolders(AppContext &ctx);

// The first-start values in the order they are written.
struct SettingDefault {
    QString section, key, value;
};
const QList<SettingDefault> &firstStartSettings();

} // namespace velto

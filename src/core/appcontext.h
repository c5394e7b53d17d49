#pragma once
// What a run of the program shares: the injected services, and the state of
// the run (who is logged in, the options, the day shown, the layout's health).
#include <QDir>
#include <QString>

#include "busy.h"
#include "clock.h"
#include "prompter.h"
#include "settingsstore.h"

namespace velto {

class WardStore;

// An account's authority as stored (the digit in the staff file). Other
// digits may be read from a file too; they are neither restricted nor full.
enum class Authority : int { None = 0, Restricted = 1, Full = 2 };

inline bool isRestricted(Authority a)
{
    return a == Authority::Restricted;
}
inline bool hasFullAuthority(Authority a)
{
    return a == Authority::Full;
}
inline int storedAuthority(Authority a)
{
    return static_cast<int>(a);
}

struct StaffAccount {
    QString loginId;
    Authority authority = Authority::None;
    QString staffName;
    QString password;
};

struct OptionValues {
    int backupOnOff = 0;
    int backupOffTime = 0;
    int midashiOnOff = 0;
};

// Injected once at start (tests inject their own).
struct AppServices {
    QString appDir;     // the data folder: DB, BackUp, log
    QString programDir; // help and menu pictures; appDir when empty
    Clock *clock = nullptr;
    Prompter *prompter = nullptr;
    SettingsStore *settings = nullptr;
    BusyPointer *busy = nullptr;
    WardStore *store = nullptr; // where the ward is kept

    // appDir + relative path written with "/" ("DB/Out", "log/error.log").
    QString path(const QString &relative) const { return QDir(appDir).filePath(relative); }
    QString programPath(const QString &relative) const
    {
        return QDir(programDir.isEmpty() ? appDir : programDir).filePath(relative);
    }
};

// The run's state, as it changes.
struct RunState {
    StaffAccount currentAccount;
    OptionValues optionValues;
    QString todayEraDate;
    int loginAttempts = 0;
    int displayDateIndex = 0;
    // Set when today's layout did not load whole: the board then never
    // writes its layout files for the rest of the run.
    QString layoutFault;     // the reason, naming the file and line
    QString layoutFaultFile; // the layout file that failed ("ROOM.WBD")
    // Set while the ward's database server cannot be reached: the board
    // keeps showing the last state, read-only, until it is back.
    QString storeFault;

    bool showsToday() const { return displayDateIndex == 0; }
    bool canChange() const
    {
        return !isRestricted(currentAccount.authority) && showsToday() && layoutFault.isEmpty() && storeFault.isEmpty();
    }
};

struct AppContext : AppServices, RunState { };

} // namespace velto

#pragma once
// What a run of the program shares: injected services and the global values.
#include <QDir>
#include <QString>

#include "busy.h"
#include "clock.h"
#include "prompter.h"
#include "settingsstore.h"

namespace velto {

struct StaffAccount {
    QString loginId;
    int authority = 0; // 1 restricted, 2 full
    QString staffName;
    QString password;
};

struct OptionValues {
    int backupOnOff = 0;
    int backupOffTime = 0;
    int midashiOnOff = 0;
};

struct AppContext {
    QString appDir;
    Clock *clock = nullptr;
    Prompter *prompter = nullptr;
    SettingsStore *settings = nullptr;
    BusyPointer *busy = nullptr;

    // Global values of the run.
    StaffAccount currentAccount;
    OptionValues optionValues;
    QString todayEraDate;
    int loginAttempts = 0;
    int displayDateIndex = 0;
    int selectedBed = 0;
    // Set when today's layout did not load whole: the board then never
    // writes its layout files for the rest of the run.
    QString layoutFault;     // the reason, naming the file and line
    QString layoutFaultFile; // the layout file that failed ("ROOM.WBD")

    // appDir + relative path written with "/" ("DB/Out", "log/error.log").
    QString path(const QString &relative) const { return QDir(appDir).filePath(relative); }
    bool canChange() const
    {
        return currentAccount.authority != 1 && displayDateIndex == 0 && layoutFault.isEmpty();
    }
};

} // namespace velto

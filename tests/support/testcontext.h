#pragma once
// A whole run's context on a temporary AppDir with a fixed clock, a
// temporary settings file and scripted answers.
#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "core/appcontext.h"
#include "scriptedprompter.h"
#include "store/folderstore.h"

namespace velto::test {

struct TestContext {
    QTemporaryDir dir;
    FixedClock clock {QDateTime(QDate(2026, 12, 10), QTime(9, 30, 0))};
    ScriptedPrompter prompter;
    std::unique_ptr<SettingsStore> settings;
    BusyPointer busy;
    std::unique_ptr<FolderStore> store;
    AppContext ctx;

    TestContext()
    {
        QDir(dir.path()).mkpath("app");
        settings = std::make_unique<SettingsStore>(dir.filePath("settings/Quolmar.ini"));
        ctx.appDir = dir.filePath("app");
        ctx.clock = &clock;
        ctx.prompter = &prompter;
        ctx.settings = settings.get();
        ctx.busy = &busy;
        store = std::make_unique<FolderStore>(ctx.appDir);
        ctx.store = store.get();
    }
    // Creates the data folders as start-up would.
    void makeFolders()
    {
        QDir app(ctx.appDir);
        for (const char *f : {"DB", "BackUp", "log", "DB/Out"})
            app.mkpath(f);
    }
    QString path(const QString &rel) const { return ctx.path(rel); }
};

// The same on a given folder and settings file, for a child process that
// works on a test's folder.
struct FolderContext {
    FixedClock clock {QDateTime(QDate(2026, 12, 10), QTime(9, 30, 0))};
    ScriptedPrompter prompter;
    SettingsStore settings;
    BusyPointer busy;
    FolderStore store;
    AppContext ctx;

    FolderContext(const QString &appDir, const QString &iniPath)
        : settings(iniPath)
        , store(appDir)
    {
        ctx.appDir = appDir;
        ctx.clock = &clock;
        ctx.prompter = &prompter;
        ctx.settings = &settings;
        ctx.busy = &busy;
        ctx.store = &store;
    }
};

} // namespace velto::test

#pragma once
// Shared set-up of the fuzz targets: one temporary AppDir per process, a
// fixed clock and a prompter that shows nothing and answers No.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/appcontext.h"
#include "store/folderstore.h"

namespace velto::fuzz {

class SilentPrompter : public Prompter {
public:
    void errorMsg(const QString &) override { }
    bool warnYesNo(const QString &) override { return false; }
    bool warnYesNoDefNo(const QString &) override { return false; }
    void warnMsg(const QString &) override { }
    bool confirmYesNo(const QString &) override { return false; }
    void infoMsg(const QString &) override { }
};

struct FuzzContext {
    QTemporaryDir dir;
    FixedClock clock {QDateTime(QDate(2026, 12, 10), QTime(9, 30, 0))};
    SilentPrompter prompter;
    std::unique_ptr<SettingsStore> settings;
    BusyPointer busy;
    std::unique_ptr<FolderStore> store;
    AppContext ctx;

    FuzzContext()
    {
        if (!dir.isValid()) {
            std::fprintf(stderr, "fuzz: no temporary directory\n");
            std::abort();
        }
        QDir(dir.path()).mkpath(QStringLiteral("app"));
        ctx.appDir = dir.filePath(QStringLiteral("app"));
        QDir app(ctx.appDir);
        for (const char *f : {"DB", "BackUp", "log", "DB/Out"})
            app.mkpath(QString::fromLatin1(f));
        settings = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("settings/Quolmar.ini")));
        ctx.clock = &clock;
        ctx.prompter = &prompter;
        ctx.settings = settings.get();
        ctx.busy = &busy;
        store = std::make_unique<FolderStore>(ctx.appDir);
        ctx.store = store.get();
    }

    // The global values back to a fresh run's, so inputs do not leak into each other.
    void resetRun()
    {
        ctx.currentAccount = StaffAccount();
        ctx.optionValues = OptionValues();
        ctx.loginAttempts = 0;
        ctx.displayDateIndex = 0;
        ctx.layoutFault.clear();
        ctx.layoutFaultFile.clear();
    }
};

inline FuzzContext &context()
{
    // Destroyed at a normal exit, which removes the temporary AppDir.
    static FuzzContext c;
    return c;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

// A broken property: print and abort so libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "fuzz: property failed at %s:%d: %s\n", __FILE__, __LINE__, #cond);                   \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

} // namespace velto::fuzz

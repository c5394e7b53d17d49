// A data folder the settings name, shared by the login accounts of a PC in
// its group: one set of staff accounts in the folder, hashed, seeded once,
// and a share that is not there is never made into an empty ward.
#include <QtTest>

#include "core/startup.h"
#include "core/wardlocation.h"
#include "record/recordfile.h"
#include "staff/accounts.h"
#include "staff/passwordhash.h"
#include "staff/sharedwardsettings.h"
#include "store/pg/storechoice.h"
#include "support/testcontext.h"

using namespace velto;

namespace {

constexpr int Iterations = 1000; // hashing at full strength only slows the tests

// One login account of the PC: its own settings file, the shared folder.
struct Account {
    test::ScriptedPrompter prompter;
    FixedClock clock {QDateTime(QDate(2026, 12, 10), QTime(9, 30, 0))};
    SettingsStore settings;
    WardLocation where;
    std::unique_ptr<WardStore> store;
    AppContext ctx;

    Account(const QString &home, const QString &folder)
        : settings(home + "/Quolmar.ini")
    {
        settings.setValue(wardkey::Section, wardkey::Folder, folder);
        where = locateWard(settings, {}, home);
        QString message;
        if (where.error.isEmpty())
            store = openWardStore(where, settings, &message, Iterations);
        ctx.appDir = where.dataFolder;
        ctx.clock = &clock;
        ctx.prompter = &prompter;
        ctx.settings = &settings;
        ctx.store = store.get();
    }
    bool start()
    {
        QString refused;
        return store && store->lock(&refused) && prepareDataFolders(ctx);
    }
};

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSharedFolder : public QObject {
    Q_OBJECT

private slots:
    void accountsAreSharedHashedAndSeededOnce()
    {
        QTemporaryDir t;
        const QString ward = t.filePath("ward");
        for (const char *f : {"DB", "DB/Out", "BackUp", "log"})
            QVERIFY(QDir().mkpath(ward + "/" + f));
        QVERIFY(QDir().mkpath(t.filePath("a")) && QDir().mkpath(t.filePath("b")));
        const QString shared = ward + "/" + SharedWardSettingsFile;

        Account a(t.filePath("a"), ward);
        QVERIFY(a.start());
        QCOMPARE(a.prompter.texts(), QStringList());
        a.store->unlock();
        // The built-in account is the folder's, its password kept as a hash.
        const QByteArray seeded = bytesOf(shared);
        QVERIFY(!seeded.isEmpty());
        QVERIFY2(!seeded.contains("Brellowinster"), seeded.constData());
        QCOMPARE(QFile::permissions(shared) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
        // The account's own file keeps only its [Ward] key.
        QVERIFY(!a.settings.contains("Pass", "cnt"));

        Account b(t.filePath("b"), ward);
        QVERIFY(b.start());
        QCOMPARE(bytesOf(shared), seeded); // seeded once
        AccountTable table;
        QVERIFY(loadAccounts(b.ctx, table));
        QCOMPARE(table.count(), 1);
        StaffAccount admin;
        QVERIFY(splitAccountLine(table.lines.first(), &admin));
        QVERIFY(passwordMatches(b.ctx, admin.password, "Brellowinster"));
        QVERIFY(!passwordMatches(b.ctx, admin.password, "brellowinster"));

        // A staff member added on one account is there, hashed, on the other.
        SettingsStore &staff = wardSettings(b.ctx);
        staff.setValue("Pass", "cnt", "2");
        staff.setValue("Pass", "user2", "nurse1,1,看護師,sakura");
        QString error;
        QVERIFY2(staff.commit(&error), qPrintable(error));
        b.store->unlock();
        QVERIFY(!bytesOf(shared).contains("sakura"));
        Account again(t.filePath("a"), ward);
        QVERIFY(again.start());
        AccountTable seen;
        QVERIFY(loadAccounts(again.ctx, seen));
        QCOMPARE(seen.count(), 2);
        StaffAccount nurse;
        QVERIFY(splitAccountLine(seen.lines.at(1), &nurse));
        QCOMPARE(nurse.staffName, QStringLiteral("看護師"));
        QVERIFY(passwordhash::isPasswordHash(nurse.password));
        QVERIFY(passwordMatches(again.ctx, nurse.password, "sakura"));
    }

    // One account at a time: the folder's lock refuses the second.
    void secondAccountIsRefusedWhileTheFirstRuns()
    {
        QTemporaryDir t;
        const QString ward = t.filePath("ward");
        QVERIFY(QDir().mkpath(ward + "/DB"));
        Account a(t.filePath("a"), ward), b(t.filePath("b"), ward);
        QVERIFY(a.start());
        QString refused;
        QVERIFY(!b.store->lock(&refused));
        QCOMPARE(refused, startuptext::alreadyRunning());
    }

    // A picture chosen in a shared folder is copied into it, so every
    // account sees it; elsewhere the record keeps the path as chosen.
    void photoIsCopiedIntoTheSharedFolder()
    {
        QTemporaryDir t;
        const QString ward = t.filePath("ward");
        QVERIFY(QDir().mkpath(ward + "/DB") && QDir().mkpath(t.filePath("pictures")));
        const QString chosen = t.filePath("pictures/face.JPG");
        QFile picture(chosen);
        QVERIFY(picture.open(QIODevice::WriteOnly));
        picture.write(QByteArrayLiteral("\xff\xd8 a face \xff\xd9"));
        picture.close();

        Account a(t.filePath("a"), ward);
        QVERIFY(a.start());
        QString kept, error;
        QVERIFY2(adoptPhoto(a.ctx, chosen, &kept, &error), qPrintable(error));
        QCOMPARE(QFileInfo(kept).absolutePath(), ward + "/DB/photos");
        QVERIFY(kept.endsWith(".jpg"));
        QCOMPARE(bytesOf(kept), bytesOf(chosen));
        QVERIFY(QFile::permissions(kept) & QFile::ReadGroup);
        // Chosen again, or chosen from the copy: still one copy.
        QString again;
        QVERIFY(adoptPhoto(a.ctx, chosen, &again, &error) && adoptPhoto(a.ctx, kept, &again, &error));
        QCOMPARE(again, kept);
        QCOMPARE(QDir(ward + "/DB/photos").entryList(QDir::Files | QDir::Hidden).size(), 1);
        // A picture that is no file is refused, and nothing is copied.
        QVERIFY(!adoptPhoto(a.ctx, t.filePath("pictures"), &again, &error));

        test::TestContext own;
        own.makeFolders();
        QVERIFY(adoptPhoto(own.ctx, chosen, &kept, &error));
        QCOMPARE(kept, chosen);
        QVERIFY(!QFileInfo::exists(own.path("DB/photos")));
    }

    // A named folder whose DB went away after the start was located (the
    // share unmounted in between): the store refuses it and creates no DB.
    void dbGoneBeforePrepareIsNeverCreated()
    {
        QTemporaryDir t;
        const QString ward = t.filePath("ward");
        QVERIFY(QDir().mkpath(ward + "/DB"));
        Account a(t.filePath("a"), ward);
        QVERIFY(a.store);
        QVERIFY(QDir(ward + "/DB").removeRecursively());
        QVERIFY(!a.start());
        QCOMPARE(a.prompter.texts(), QStringList {"データフォルダが見つかりません。\r" + ward + "/DB"});
        QVERIFY(!QFileInfo::exists(ward + "/DB"));
        QVERIFY(!QFileInfo::exists(ward + "/" + SharedWardSettingsFile));
    }
};

QTEST_GUILESS_MAIN(TestSharedFolder)
#include "tst_sharedfolder.moc"

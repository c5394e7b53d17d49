// The ward on the database: which store the settings choose, a first start
// that seeds the ward and never the local file, and staff accounts shared
// by every terminal with their passwords kept only as hashes.
#include <QSqlQuery>
#include <QtTest>

#include "core/startup.h"
#include "facility/options.h"
#include "record/recordfields.h"
#include "record/recordsave.h"
#include "scratchdatabase.h"
#include "staff/accounts.h"
#include "staff/passwordhash.h"
#include "store/pg/pgstore.h"
#include "store/pg/storechoice.h"
#include "support/files.h"
#include "support/testcontext.h"

using namespace velto;
using test::ScratchDatabase;

namespace {

const int Iterations = 1000; // the real count is slow on purpose

// A terminal of the ward: its own settings file naming the database.
struct Terminal {
    test::TestContext t;
    std::unique_ptr<WardStore> store;
    QString message;

    explicit Terminal(const QString &database)
    {
        t.settings->setValue(QStringLiteral("Ward"), QStringLiteral("database"), database);
        QVERIFY(t.settings->commit());
        store = openWardStore(t.ctx.appDir, *t.settings, &message, Iterations);
        t.ctx.store = store.get();
    }
    QString storedHash(const QString &loginId)
    {
        const QStringList line = wardSettings(t.ctx).value("Pass", "user1").split(',');
        return line.value(0) == loginId ? line.value(3) : QString();
    }
};

} // namespace

class TestWardDatabase : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!ScratchDatabase::server().isEmpty(),
                 "VELTO_TEST_DATABASE is not set: run scripts/test.sh, which starts the private server");
    }

    void noDatabaseKeepsTheFolder()
    {
        test::TestContext t;
        QString message;
        const std::unique_ptr<WardStore> store = openWardStore(t.ctx.appDir, *t.settings, &message);
        QVERIFY(store);
        QCOMPARE(store->dataFolder(), t.ctx.appDir);
        QVERIFY(!store->wardSettings());
    }

    // The server named, the program ends, and nothing is created anywhere.
    void unreachableServerTouchesNothing()
    {
        test::TestContext t;
        t.settings->setValue("Ward", "database", "host=/nonexistent/velto dbname=ward user=nurse connect_timeout=2");
        QVERIFY(t.settings->commit());
        QString message;
        QVERIFY(!openWardStore(t.ctx.appDir, *t.settings, &message));
        QCOMPARE(message, QStringLiteral("サーバーに接続できません。\r/nonexistent/velto"));
        QCOMPARE(test::filesUnder(t.ctx.appDir), QStringList());
    }

    // On the shared ward, names hidden stays this screen's own: the local
    // settings file's [Display], never the database.
    void displayPreferenceStaysLocal()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString());
        QVERIFY2(a.store, qPrintable(a.message));
        QVERIFY(prepareDataFolders(a.t.ctx));
        a.t.ctx.currentAccount.authority = Authority::Full;
        OptionsForm f = optionsActivate(a.t.ctx);
        f.hideNames = true;
        QVERIFY(optionsApply(a.t.ctx, f));
        QCOMPARE(SettingsStore(a.t.settings->filePath()).value("Display", "hide_names"), QStringLiteral("1"));
        QVERIFY(!SettingsStore(a.t.settings->filePath()).contains("Option", "backup_on_off"));
        QVERIFY(!wardSettings(a.t.ctx).contains("Display", "hide_names"));
        QVERIFY(optionsActivate(a.t.ctx).hideNames);
    }

    // The first start on an empty database seeds the built-in account there;
    // the settings file keeps only [Ward] and no ward folder is made.
    void firstStartSeedsTheDatabaseOnly()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString());
        QVERIFY2(a.store, qPrintable(a.message));
        const QByteArray localBefore = test::readBytes(a.t.settings->filePath());
        QVERIFY(prepareDataFolders(a.t.ctx));
        QCOMPARE(test::readBytes(a.t.settings->filePath()), localBefore);
        QVERIFY(!QFileInfo::exists(a.t.path("DB")));
        QVERIFY(!QFileInfo::exists(a.t.path("BackUp")));
        QVERIFY(QFileInfo(a.t.path("log")).isDir());

        const QString hash = a.storedHash("Administrator");
        QVERIFY2(passwordhash::isPasswordHash(hash), qPrintable(hash));
        QVERIFY(passwordhash::verifyPassword("Brellowinster", hash));
        QCOMPARE(wardSettings(a.t.ctx).value("Option", "backup_on_off"), QStringLiteral("1"));

        // A second terminal finds the ward started: nothing seeded again.
        Terminal b(s.connectionString());
        QVERIFY(prepareDataFolders(b.t.ctx));
        QCOMPARE(b.storedHash("Administrator"), hash);
        QCOMPARE(wardSettings(b.t.ctx).value("Pass", "cnt"), QStringLiteral("1"));
    }

    void loginChecksTheHash_data()
    {
        QTest::addColumn<QString>("loginId");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("kind");
        QTest::newRow("right password") << "Administrator"
                                        << "Brellowinster" << int(LoginResult::LoggedIn);
        QTest::newRow("wrong password") << "Administrator"
                                        << "brellowinster" << int(LoginResult::TryAgain);
        QTest::newRow("the stored hash typed as password") << "Administrator"
                                                           << "<hash>" << int(LoginResult::TryAgain);
        QTest::newRow("unknown login ID") << "Nobody"
                                          << "Brellowinster" << int(LoginResult::TryAgain);
    }
    void loginChecksTheHash()
    {
        QFETCH(QString, loginId);
        QFETCH(QString, password);
        QFETCH(int, kind);
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString());
        QVERIFY2(a.store, qPrintable(a.message));
        QVERIFY(prepareDataFolders(a.t.ctx));
        if (password == "<hash>")
            password = a.storedHash("Administrator");
        a.t.prompter.answers = {true};
        AccountTable table;
        QCOMPARE(int(loginCheck(a.t.ctx, table, loginId, password).kind), kind);
    }

    // A picture chosen on one terminal shows on every other, even once the
    // file it came from is gone; a save that cannot read it keeps it.
    void pictureIsKeptInTheDatabase()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString());
        QVERIFY2(a.store, qPrintable(a.message));
        QVERIFY(prepareDataFolders(a.t.ctx));
        a.t.ctx.currentAccount = {"Administrator", Authority::Full, QStringLiteral("管理者"), QString()};
        const QString picture = a.t.dir.filePath("face.jpg");
        QFile f(picture);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xFF\xD8 face");
        f.close();
        PatientRecord r = newPatientRecord();
        for (const auto &[key, value] : {std::pair {"003", "佐藤"},
                                         {"004", "一郎"},
                                         {"005", "男"},
                                         {"007", "昭和"},
                                         {"008", "10年"},
                                         {"009", "5月"},
                                         {"010", "3日"}})
            r.setValue(key, QString::fromUtf8(value));
        r.setValue(recordkey::PhotoPath, picture);
        QString key;
        QCOMPARE(int(savePatientRecord(a.t.ctx, r, true, &key).outcome), int(SaveResult::Saved));
        QVERIFY(QFile::remove(picture));
        // Saved again where the file cannot be read: the picture stays.
        QCOMPARE(int(savePatientRecord(a.t.ctx, r, true, &key).outcome), int(SaveResult::Saved));

        Terminal b(s.connectionString());
        QByteArray bytes;
        QVERIFY(b.store->readPhoto(RecordRef::today(key), picture, &bytes));
        QCOMPARE(bytes, QByteArray("\xFF\xD8 face"));
        // Another picture named: the old one is not shown for it.
        r.setValue(recordkey::PhotoPath, a.t.dir.filePath("other.jpg"));
        QCOMPARE(int(savePatientRecord(a.t.ctx, r, true, &key).outcome), int(SaveResult::Saved));
        QVERIFY(!b.store->readPhoto(RecordRef::today(key), picture, &bytes));
    }

    // An account added on one terminal logs in on another; a password nobody
    // changed keeps its hash, a new one is hashed afresh.
    void accountsAreShared()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString());
        QVERIFY2(a.store, qPrintable(a.message));
        QVERIFY(prepareDataFolders(a.t.ctx));
        const QString adminHash = a.storedHash("Administrator");
        SettingsStore &ward = wardSettings(a.t.ctx);
        ward.setValue("Pass", "cnt", "2");
        ward.setValue("Pass", "user2", "nurse2,1,看護 花子,np2");
        QString error;
        QVERIFY2(ward.commit(&error), qPrintable(error));
        QVERIFY(!ward.value("Pass", "user2").endsWith(",np2"));

        Terminal b(s.connectionString());
        QCOMPARE(b.storedHash("Administrator"), adminHash);
        AccountTable table;
        QCOMPARE(int(loginCheck(b.t.ctx, table, "nurse2", "np2").kind), int(LoginResult::LoggedIn));
        QCOMPARE(b.t.ctx.currentAccount.staffName, QStringLiteral("看護 花子"));
        QVERIFY(isRestricted(b.t.ctx.currentAccount.authority));
        // Nothing of the accounts reached either settings file.
        QVERIFY(!a.t.settings->contains("Pass", "cnt"));
        QVERIFY(!b.t.settings->contains("Pass", "cnt"));
        QSqlDatabase db = s.connect("check");
        QSqlQuery q(db);
        QVERIFY(q.exec("select count(*) from staff_account where password_hash like '%np2%'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWardDatabase)
#include "tst_warddatabase.moc"

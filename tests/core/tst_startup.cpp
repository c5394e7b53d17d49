#include <QFile>
#include <QtTest>

#include <sys/stat.h>

#include "core/errorlog.h"
#include "core/platform.h"
#include "core/startup.h"
#include "core/textfile.h"
#include "support/testcontext.h"

using namespace velto;

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesDefaultsInOrder()
    {
        test::TestContext t;
        QVERIFY(prepareDataFolders(t.ctx));
        for (const char *f : {"DB", "BackUp", "log", "DB/Out"})
            QVERIFY2(QFileInfo(t.path(f)).isDir(), f);
        QCOMPARE(t.ctx.todayEraDate, QStringLiteral("令和08年12月10日"));
        QCOMPARE(t.settings->journal(), (QStringList {"Pass/cnt", "Pass/user1", "Option/backup_on_off",
                                                      "Option/backup_off_time", "Option/midashi_on_off"}));

        // What was written is on disk, owner-only, and reads back.
        SettingsStore reread(t.settings->filePath());
        QCOMPARE(reread.value("Pass", "user1"), QStringLiteral("Administrator,2,管理者,Brellowinster"));
        QCOMPARE(reread.value("Option", "midashi_on_off"), QStringLiteral("0"));
        QCOMPARE(QFileInfo(t.settings->filePath()).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
        QVERIFY(t.prompter.asked.isEmpty());
    }

    void laterStartWritesNothingAndRestoresFolders()
    {
        test::TestContext t;
        QVERIFY(prepareDataFolders(t.ctx));
        t.settings->setValue("Pass", "cnt", "1"); // pretend someone edited
        QVERIFY(t.settings->commit());
        const QByteArray before = readAll(t.settings->filePath());
        QDir(t.path("log")).removeRecursively();
        QDir(t.ctx.appDir).mkpath("OldDB"); // merely ends in DB

        SettingsStore again(t.settings->filePath());
        t.ctx.settings = &again;
        QVERIFY(prepareDataFolders(t.ctx));
        QVERIFY(again.journal().isEmpty());
        QCOMPARE(readAll(t.settings->filePath()), before);
        QVERIFY(QFileInfo(t.path("log")).isDir());
    }

    void unreadableSettingsEndStartUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a folder in the file's place") << "folder";
        QTest::newRow("not in INI form") << "notIni";
        QTest::newRow("no right to read (chmod 000)") << "mode000";
    }

    // Never a first start: that would drop every account and bring the
    // documented first password back.
    void unreadableSettingsEndStartUntouched()
    {
        QFETCH(QString, kind);
        test::TestContext t;
        const QString path = t.settings->filePath();
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        const QByteArray accounts = "[Pass]\ncnt=2\nuser1=Administrator,2,管理者,secret\n";
        QByteArray content;
        if (kind == "folder") {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == "notIni") {
            content = "[Pass\ncnt\n";
            writeFile(path, content);
        } else {
            content = accounts;
            writeFile(path, content);
            QFile::setPermissions(path, QFile::Permissions());
            QFile probe(path);
            if (probe.open(QIODevice::ReadOnly))
                QSKIP("running with rights that read any file; the folder row covers this case");
        }

        SettingsStore atStart(path);
        t.ctx.settings = &atStart;
        QVERIFY(!prepareDataFolders(t.ctx));
        QCOMPARE(t.prompter.texts(), QStringList {QStringLiteral("設定ファイルを読み込めません。\r") + path});
        QVERIFY(atStart.journal().isEmpty());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        if (kind == "folder")
            QVERIFY(QFileInfo(path).isDir());
        else
            QCOMPARE(readAll(path), content);
    }

    void looseSettingsFileIsClosedAtStart_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("0644") << 0644;
        QTest::newRow("0640") << 0640;
        QTest::newRow("0604") << 0604;
        QTest::newRow("0660") << 0660;
        QTest::newRow("0600 stays") << 0600;
    }

    // A copy restored with loose rights is closed at the next start, not
    // only at the next write.
    void looseSettingsFileIsClosedAtStart()
    {
        QFETCH(int, mode);
        test::TestContext t;
        QVERIFY(prepareDataFolders(t.ctx));
        const QString path = t.settings->filePath();
        const QByteArray before = readAll(path);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);

        SettingsStore next(path);
        t.ctx.settings = &next;
        QVERIFY(prepareDataFolders(t.ctx));
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 0777), 0600);
        QCOMPARE(readAll(path), before);
        QCOMPARE(next.value("Pass", "cnt"), QStringLiteral("1"));
    }

    // Staged files a crash left are no data and go; an interrupted change's
    // staged files are data and are put in place first; other hidden files stay.
    void startCleansStagedFilesAndFinishesChanges()
    {
        test::TestContext t;
        t.makeFolders();
        writeFile(t.path("DB/.~velto-AbC123"), "torn");
        writeFile(t.path("DB/Out/.~velto-x"), "torn");
        writeFile(t.path("log/.~velto-y"), "torn");
        writeFile(t.path("DB/.tanaka_a_b"), "an old hidden record");
        // A change interrupted after its intent: one rename done, one not, a removal pending.
        writeFile(t.path("DB/ROOM.WBD"), "new beds\r\n");
        writeFile(t.path("DB/.~velto-n1"), "new numbers\r\n");
        writeFile(t.path("DB/old_record"), "moved away");
        writeFile(t.path("DB/.~velto-change"),
                  "R\t.~velto-b1\tROOM.WBD\r\nR\t.~velto-n1\tROOM_NO.WBD\r\nD\told_record\r\n");
        QVERIFY(prepareDataFolders(t.ctx));
        const QStringList left = QDir(t.path("DB")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        QCOMPARE(left, (QStringList {".tanaka_a_b", "ROOM.WBD", "ROOM_NO.WBD"}));
        QVERIFY(QDir(t.path("DB/Out")).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(QDir(t.path("log")).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QFile numbers(t.path("DB/ROOM_NO.WBD"));
        QVERIFY(numbers.open(QIODevice::ReadOnly));
        QCOMPARE(numbers.readAll(), QByteArray("new numbers\r\n"));
    }

    void folderThatCannotBeMadeEndsStartup()
    {
        test::TestContext t;
        QFile f(t.path("DB"));
        QVERIFY(f.open(QIODevice::WriteOnly)); // a file where the folder belongs
        f.close();
        QVERIFY(!prepareDataFolders(t.ctx));
        QCOMPARE(t.prompter.asked.size(), 1);
        QCOMPARE(t.prompter.asked.first().text, unexpectedErrorText());
    }

    void errorLogKeepsOnlyLatest()
    {
        test::TestContext t;
        t.makeFolders();
        writeErrorLog(t.ctx, "frmRoom.NewLoad()");
        t.clock.set(QDateTime(QDate(2026, 12, 10), QTime(7, 5, 9)));
        writeErrorLog(t.ctx, "bigin.getReg()");
        QStringList lines;
        QString err;
        QVERIFY(textfile::readLines(t.path("log/error.log"), &lines, &err));
        QCOMPARE(lines, (QStringList {"--- ERROR INFORMATION Velto ---", "[DATE] 2026/12/10 7:05:09",
                                      "[FUNC] bigin.getReg()"}));
        QVERIFY(readAll(t.path("log/error.log")).endsWith("getReg()\r\n"));
        QCOMPARE(t.prompter.asked.size(), 2);
        QCOMPARE(t.prompter.asked.at(0).kind, DialogKind::Error);
        QCOMPARE(t.prompter.asked.at(0).text.split('\r').size(), 4);
    }

    void errorLogWithoutFolderIsSilent()
    {
        test::TestContext t; // no "log" folder
        writeErrorLog(t.ctx, "x.y()");
        QCOMPARE(t.prompter.asked.size(), 1);
        QVERIFY(!QFileInfo::exists(t.path("log/error.log")));
    }

    void secondInstanceIsRefusedAndDeadLockBroken()
    {
        QTemporaryDir dir;
        const QString lockPath = dir.filePath("velto.lock");
        {
            platform::InstanceLock first(lockPath);
            QVERIFY(first.acquire());
            platform::InstanceLock second(lockPath);
            QVERIFY(!second.acquire());
        }
        // A lock left by a process that died (kill -9) must not block.
        QFile stale(lockPath);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("999999\nvelto\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        platform::InstanceLock next(lockPath);
        QVERIFY(next.acquire());
    }

    void settingsKeepOldFileWhenWriteFails()
    {
        test::TestContext t;
        QVERIFY(prepareDataFolders(t.ctx));
        const QByteArray before = readAll(t.settings->filePath());
        // A read-only folder refuses the new file; the old one must stay.
        QFile::setPermissions(QFileInfo(t.settings->filePath()).absolutePath(), QFile::ReadOwner | QFile::ExeOwner);
        t.settings->setValue("Pass", "cnt", "2");
        QString why;
        const bool ok = t.settings->commit(&why);
        QFile::setPermissions(QFileInfo(t.settings->filePath()).absolutePath(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (ok)
            QSKIP("running with rights that ignore folder permissions");
        QVERIFY(!why.isEmpty());
        QCOMPARE(readAll(t.settings->filePath()), before);
    }

private:
    static QByteArray readAll(const QString &p)
    {
        QFile f(p);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    static void writeFile(const QString &p, const QByteArray &bytes)
    {
        QFile f(p);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"

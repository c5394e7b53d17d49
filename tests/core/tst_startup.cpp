#include <QtTest>
#include <QFile>

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
        QVERIFY(getReg(t.ctx));
        for (const char *f : {"DB", "BackUp", "log", "DB/Out"})
            QVERIFY2(QFileInfo(t.path(f)).isDir(), f);
        QCOMPARE(t.ctx.todayEraDate, QStringLiteral("令和08年12月10日"));
        QCOMPARE(t.settings->journal(),
                 (QStringList{"Pass/cnt", "Pass/user1", "Option/backup_on_off", "Option/backup_off_time",
                              "Option/midashi_on_off"}));

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
        QVERIFY(getReg(t.ctx));
        t.settings->setValue("Pass", "cnt", "1"); // pretend someone edited
        QVERIFY(t.settings->commit());
        const QByteArray before = readAll(t.settings->filePath());
        QDir(t.path("log")).removeRecursively();
        QDir(t.ctx.appDir).mkpath("OldDB"); // merely ends in DB

        SettingsStore again(t.settings->filePath());
        t.ctx.settings = &again;
        QVERIFY(getReg(t.ctx));
        QVERIFY(again.journal().isEmpty());
        QCOMPARE(readAll(t.settings->filePath()), before);
        QVERIFY(QFileInfo(t.path("log")).isDir());
    }

    void folderThatCannotBeMadeEndsStartup()
    {
        test::TestContext t;
        QFile f(t.path("DB"));
        QVERIFY(f.open(QIODevice::WriteOnly)); // a file where the folder belongs
        f.close();
        QVERIFY(!getReg(t.ctx));
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
        QCOMPARE(lines, (QStringList{"--- ERROR INFORMATION Velto ---", "[DATE] 2026/12/10 7:05:09",
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
        QVERIFY(getReg(t.ctx));
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
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"

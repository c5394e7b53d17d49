#include <QDir>
#include <QFile>
#include <QtTest>
#include <sys/stat.h>

#include "backup/codepagenames.h"
#include "backup/snapshot.h"
#include "core/eradate.h"
#include "core/errorlog.h"
#include "core/textfile.h"
#include "support/files.h"
#include "support/fixtures.h"
#include "support/patients.h"
#include "support/testcontext.h"
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velto;
using velto::test::TestContext;

namespace {

using velto::test::cp932;
using velto::test::putRaw;

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

using test::readBytes;

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

using test::Sato;

QByteArray rawBytes(const QString &dir, const QByteArray &name)
{
    QFile f;
    const int fd = ::open((QFile::encodeName(dir) + '/' + name).constData(), O_RDONLY);
    if (fd < 0 || !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return "<missing>";
    return f.readAll();
}

QList<QByteArray> rawEntries(const QString &dir)
{
    QList<QByteArray> names;
    if (DIR *d = ::opendir(QFile::encodeName(dir).constData())) {
        while (const dirent *e = ::readdir(d))
            if (qstrcmp(e->d_name, ".") != 0 && qstrcmp(e->d_name, "..") != 0)
                names << QByteArray(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

class TstSnapshot : public QObject {
    Q_OBJECT

private slots:
    void copiesDbIntoTheClockDay()
    {
        TestContext t;
        t.makeFolders();
        // Started on the 10th, backing up after midnight: the 11th is meant.
        t.ctx.todayEraDate = QStringLiteral("令和08年12月10日");
        t.clock.set(QDateTime(QDate(2026, 12, 11), QTime(0, 5)));
        const QString day = QStringLiteral("令和08年12月11日");
        put(t.path("DB/ROOM.WBD"), "new layout\r\n");
        put(t.path("DB/佐藤_一郎_昭和10年5月3日"), "record\r\n");
        put(t.path("DB/Out/田中_花子_昭和20年1月1日"), "discharged\r\n");
        put(t.path("BackUp/" + day + "/ROOM.WBD"), "old layout\r\n");
        put(t.path("BackUp/" + day + "/gone.txt"), "kept\r\n");

        const SnapshotResult r = copySnapshot(t.ctx);
        QVERIFY(r.ok);
        QCOMPARE(r.dayName, day);
        const QString snap = t.path("BackUp/" + day);
        QCOMPARE(entries(snap), (QStringList {"ROOM.WBD", "gone.txt", "佐藤_一郎_昭和10年5月3日"}));
        QCOMPARE(readBytes(snap + "/ROOM.WBD"), QByteArray("new layout\r\n"));
        QCOMPARE(readBytes(snap + "/gone.txt"), QByteArray("kept\r\n"));
        QVERIFY(!QFileInfo::exists(t.path("BackUp/令和08年12月10日")));
        // The data folder itself is only read.
        QCOMPARE(entries(t.path("DB")), (QStringList {"Out", "ROOM.WBD", "佐藤_一郎_昭和10年5月3日"}));
        QCOMPARE(readBytes(t.path("DB/Out/田中_花子_昭和20年1月1日")), QByteArray("discharged\r\n"));
        QVERIFY(t.prompter.asked.isEmpty());
    }

    // The layout file the board could not read whole: copied as it is when
    // the day has no copy yet, never over the day's earlier copy.
    void unreadLayoutFileNeverReplacesTheDaysCopy_data()
    {
        QTest::addColumn<bool>("dayHasCopy");
        QTest::addColumn<QByteArray>("snapshotAfter");
        QTest::newRow("day's copy kept") << true << QByteArray("good layout\r\n");
        QTest::newRow("no copy yet: copied as it is") << false << QByteArray("damaged\r\n");
    }
    void unreadLayoutFileNeverReplacesTheDaysCopy()
    {
        QFETCH(bool, dayHasCopy);
        QFETCH(QByteArray, snapshotAfter);
        TestContext t;
        t.makeFolders();
        const QString snap = t.path("BackUp/" + snapshotDayName(t.ctx));
        put(t.path("DB/ROOM.WBD"), "damaged\r\n");
        put(t.path("DB/ROOM_NO.WBD"), "numbers\r\n");
        if (dayHasCopy)
            put(snap + "/ROOM.WBD", "good layout\r\n");
        t.ctx.layoutFault = QStringLiteral("ROOM.WBDの1行目");
        t.ctx.layoutFaultFile = QStringLiteral("ROOM.WBD");
        const SnapshotResult r = copySnapshot(t.ctx);
        QVERIFY(r.ok);
        QCOMPARE(readBytes(snap + "/ROOM.WBD"), snapshotAfter);
        QCOMPARE(readBytes(snap + "/ROOM_NO.WBD"), QByteArray("numbers\r\n"));
    }

    void createsMissingFolders()
    {
        TestContext t; // no DB, no BackUp yet
        QVERIFY(copySnapshot(t.ctx).ok);
        QVERIFY(QFileInfo(t.path("BackUp/" + snapshotDayName(t.ctx))).isDir());
        QVERIFY(QFileInfo(t.path("DB")).isDir());
    }

    // A second backup the same day rewrites only what changed since the
    // first: an unchanged copy keeps its file, a changed one is replaced
    // whole, and a copy that differs only in length or in one byte counts
    // as changed.
    void repeatedBackupRewritesOnlyChangedCopies()
    {
        TestContext t;
        t.makeFolders();
        const QString snap = t.path("BackUp/" + snapshotDayName(t.ctx));
        put(t.path("DB/A.WBD"), "same");
        put(t.path("DB/B.WBD"), "b1");
        put(t.path("DB/C.WBD"), "c1");
        QVERIFY(copySnapshot(t.ctx).ok);
        const auto inode = [&](const QString &name) {
            struct stat st { };
            return ::stat(QFile::encodeName(snap + "/" + name).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
        };
        const quint64 a = inode("A.WBD"), b = inode("B.WBD"), c = inode("C.WBD");
        put(t.path("DB/B.WBD"), "b2");  // same length, one byte
        put(t.path("DB/C.WBD"), "c1x"); // longer

        const SnapshotResult r = copySnapshot(t.ctx);
        QVERIFY(r.ok);
        QCOMPARE(r.copied.size(), 3);
        QCOMPARE(inode("A.WBD"), a);
        QVERIFY(inode("B.WBD") != b);
        QVERIFY(inode("C.WBD") != c);
        QCOMPARE(readBytes(snap + "/A.WBD"), QByteArray("same"));
        QCOMPARE(readBytes(snap + "/B.WBD"), QByteArray("b2"));
        QCOMPARE(readBytes(snap + "/C.WBD"), QByteArray("c1x"));
    }

    void failedCopyIsReportedOthersGoOn()
    {
        TestContext t;
        t.makeFolders();
        const QString snap = t.path("BackUp/" + snapshotDayName(t.ctx));
        put(t.path("DB/A.WBD"), "a2");
        put(t.path("DB/B.WBD"), "b2");
        put(t.path("DB/C.WBD"), "c2");
        put(snap + "/A.WBD", "a1");
        QVERIFY(QDir().mkpath(snap + "/B.WBD/inner")); // the copy of B cannot be placed

        const SnapshotResult r = copySnapshot(t.ctx);
        QVERIFY(!r.ok);
        QCOMPARE(r.copied, (QStringList {"A.WBD", "C.WBD"}));
        QCOMPARE(r.failed.size(), 1);
        QVERIFY(r.failed.first().startsWith("B.WBD"));
        QCOMPARE(t.prompter.texts(), (QStringList {unexpectedErrorText(), notCopiedMessage({"B.WBD"})}));
        QVERIFY(readBytes(t.path("log/error.log")).contains("[FUNC] frmBackUp.Form_Activate()"));
        QCOMPARE(readBytes(snap + "/A.WBD"), QByteArray("a2"));
        QCOMPARE(readBytes(snap + "/C.WBD"), QByteArray("c2"));
        QVERIFY(QFileInfo(snap + "/B.WBD/inner").isDir());
        // "DB" is only read.
        QCOMPARE(entries(t.path("DB")), (QStringList {"A.WBD", "B.WBD", "C.WBD", "Out"}));
        QCOMPARE(readBytes(t.path("DB/A.WBD")), QByteArray("a2"));
        QCOMPARE(readBytes(t.path("DB/B.WBD")), QByteArray("b2"));
    }

    // Every record in "DB" reaches the snapshot under its own name's bytes:
    // hidden names and code page 932 names too; staging files never.
    void copiesEveryRecordName_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("UTF-8") << QFile::encodeName(Sato) << Sato;
        QTest::newRow("hidden") << QByteArray(".tanaka_hanako_showa20") << ".tanaka_hanako_showa20";
        QTest::newRow("code page 932 bytes") << cp932(Sato) << Sato;
    }
    void copiesEveryRecordName()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, shown);
        TestContext t;
        t.makeFolders();
        putRaw(t.path("DB"), name, "record\r\n");
        putRaw(t.path("DB"), ".~velto-Ab12Cd", "half");

        const SnapshotResult r = copySnapshot(t.ctx);
        QVERIFY(r.ok);
        QCOMPARE(r.copied, QStringList {shown});
        const QString snap = t.path("BackUp/" + r.dayName);
        QCOMPARE(rawBytes(snap, name), QByteArray("record\r\n"));
        QCOMPARE(rawEntries(snap), QList<QByteArray> {name});
        QVERIFY(t.prompter.asked.isEmpty());
    }

    // A backup that misses a record says which, for every name kind.
    void namesEveryFileNotCopied()
    {
        TestContext t;
        t.makeFolders();
        const QString snap = t.path("BackUp/" + snapshotDayName(t.ctx));
        const QByteArray byteName = cp932(Sato);
        putRaw(t.path("DB"), "A.WBD", "a");
        putRaw(t.path("DB"), byteName, "r1");
        putRaw(t.path("DB"), ".tanaka", "r2");
        // Folders in the copies' places: neither copy can be put there.
        QVERIFY(QDir().mkpath(snap));
        QCOMPARE(::mkdir((QFile::encodeName(snap) + '/' + byteName).constData(), 0700), 0);
        QVERIFY(QDir().mkpath(snap + "/.tanaka/x"));

        const SnapshotResult r = copySnapshot(t.ctx);
        QVERIFY(!r.ok);
        QCOMPARE(r.copied, QStringList {"A.WBD"});
        QCOMPARE(r.failed.size(), 2);
        QCOMPARE(t.prompter.texts().size(), 2);
        const QString message = t.prompter.texts().last();
        QVERIFY(message.startsWith(
            QStringLiteral("次のファイルをバックアップできませんでした。\rバックアップは完了していません。\r")));
        QVERIFY2(message.contains(".tanaka") && message.contains(Sato), qPrintable(message));
    }

    // A backup killed half way leaves a staging file in the day's folder;
    // the next backup of that day and the next start-up clear it. Start-up
    // looks only into the folder the unfinished backup marked: an older
    // snapshot is not opened, however many there are.
    void staleStagingFilesInSnapshotCleared_data()
    {
        QTest::addColumn<bool>("atStartUp");
        QTest::newRow("next backup of the day") << false;
        QTest::newRow("start-up") << true;
    }
    void staleStagingFilesInSnapshotCleared()
    {
        QFETCH(bool, atStartUp);
        TestContext t;
        t.makeFolders();
        putRaw(t.path("DB"), "ROOM.WBD", "layout");
        const QString day = snapshotDayName(t.ctx);
        const QString snap = t.path("BackUp/" + day);
        const QString older = t.path("BackUp/令和08年12月01日");
        putRaw(snap, ".~velto-Ab12Cd", "half");
        putRaw(t.path("BackUp"), QFile::encodeName(".copying-" + day), "");
        putRaw(older, ".~velto-Zz99Yy", "half");
        putRaw(older, "ROOM.WBD", "old layout");
        if (atStartUp) {
            QString message;
            QVERIFY2(t.ctx.store->prepare(&message), qPrintable(message));
            QCOMPARE(rawEntries(snap), QList<QByteArray> {});
        } else {
            // The mark is there while the copies are staged.
            bool marked = false;
            textfile::setStepHook([&](const QString &step) {
                if (step == "stage ROOM.WBD")
                    marked = QFileInfo::exists(t.path("BackUp/.copying-" + day));
                return true;
            });
            const bool ok = copySnapshot(t.ctx).ok;
            textfile::setStepHook({});
            QVERIFY(ok);
            QVERIFY(marked);
            QCOMPARE(rawEntries(snap), QList<QByteArray> {"ROOM.WBD"});
        }
        QCOMPARE(rawEntries(older), (QList<QByteArray> {".~velto-Zz99Yy", "ROOM.WBD"}));
        // No marker is left once the backup is done or the start-up has
        // cleared its folder.
        QCOMPARE(QDir(t.path("BackUp")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList {"令和08年12月01日", day}));
        QVERIFY(t.prompter.asked.isEmpty());
    }

    void dayFolderLinkedOutsideIsRefused()
    {
        TestContext t;
        t.makeFolders();
        put(t.path("DB/ROOM.WBD"), "x");
        const QString outside = t.dir.filePath("outside");
        QVERIFY(QDir().mkpath(outside));
        QVERIFY(QFile::link(outside, t.path("BackUp/" + snapshotDayName(t.ctx))));

        QVERIFY(!copySnapshot(t.ctx).ok);
        QVERIFY(entries(outside).isEmpty());
        QCOMPARE(t.prompter.texts(), QStringList {unexpectedErrorText()});
        QVERIFY(readBytes(t.path("log/error.log")).contains("[FUNC] frmBackUp.Form_Activate()"));
    }

    void lowDiskWarning_data()
    {
        QTest::addColumn<qint64>("freeBytes");
        QTest::addColumn<QString>("volume");
        QTest::addColumn<bool>("warned");
        QTest::newRow("499 million, drive letter") << qint64(499000000) << "C" << true;
        QTest::newRow("one byte short") << qint64(499999999) << "D" << true;
        QTest::newRow("exactly 500 million") << qint64(500000000) << "C" << false;
        QTest::newRow("plenty") << qint64(80000000000) << "C" << false;
        QTest::newRow("mount point") << qint64(0) << "/srv/velto" << true;
        QTest::newRow("unknown") << qint64(-1) << "/" << false;
    }

    void lowDiskWarning()
    {
        QFETCH(qint64, freeBytes);
        QFETCH(QString, volume);
        QFETCH(bool, warned);
        TestContext t;
        QCOMPARE(warnLowDisk(t.ctx, freeBytes, volume), warned);
        if (!warned) {
            QVERIFY(t.prompter.asked.isEmpty());
            return;
        }
        QCOMPARE(t.prompter.asked.size(), 1);
        QCOMPARE(t.prompter.asked.first().kind, DialogKind::Warn);
        QCOMPARE(t.prompter.asked.first().text,
                 volume
                     + QStringLiteral(
                         "ドライブ配下のディスク容量が、500MByteをきりました。\r"
                         "空き容量を増やすか、メニューからバックアップデータを削除してください。\r"
                         "ディスク容量が少ない場合は、データが保存できないことがありますので、ご注意ください！"));
    }

    void manualBackupAsksFullAuthorityOnly_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::newRow("full, yes") << 2 << true << true;
        QTest::newRow("full, no") << 2 << false << true;
        QTest::newRow("restricted") << 1 << true << false;
    }

    void manualBackupAsksFullAuthorityOnly()
    {
        QFETCH(int, authority);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        TestContext t;
        t.ctx.currentAccount.authority = static_cast<Authority>(authority);
        t.prompter.answers = {answer};
        QCOMPARE(askManualBackup(t.ctx), asked && answer);
        if (!asked) {
            QVERIFY(t.prompter.asked.isEmpty());
            return;
        }
        QCOMPARE(t.prompter.asked.size(), 1);
        QCOMPARE(t.prompter.asked.first().kind, DialogKind::ConfirmYesNo);
        QCOMPARE(t.prompter.asked.first().text, QStringLiteral("全てのデータをバックアップします\rよろしいですか？"));
    }
};

QTEST_GUILESS_MAIN(TstSnapshot)
#include "tst_snapshot.moc"

#include <QDir>
#include <QFile>
#include <QtTest>

#include "backup/snapshot.h"
#include "core/eradate.h"
#include "core/errorlog.h"
#include "support/testcontext.h"

using namespace velto;
using velto::test::TestContext;

namespace {

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TstSnapshot : public QObject
{
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
        QCOMPARE(entries(snap), (QStringList{"ROOM.WBD", "gone.txt", "佐藤_一郎_昭和10年5月3日"}));
        QCOMPARE(bytesOf(snap + "/ROOM.WBD"), QByteArray("new layout\r\n"));
        QCOMPARE(bytesOf(snap + "/gone.txt"), QByteArray("kept\r\n"));
        QVERIFY(!QFileInfo::exists(t.path("BackUp/令和08年12月10日")));
        // The data folder itself is only read.
        QCOMPARE(entries(t.path("DB")), (QStringList{"Out", "ROOM.WBD", "佐藤_一郎_昭和10年5月3日"}));
        QCOMPARE(bytesOf(t.path("DB/Out/田中_花子_昭和20年1月1日")), QByteArray("discharged\r\n"));
        QVERIFY(t.prompter.asked.isEmpty());
    }

    void createsMissingFolders()
    {
        TestContext t; // no DB, no BackUp yet
        QVERIFY(copySnapshot(t.ctx).ok);
        QVERIFY(QFileInfo(t.path("BackUp/" + snapshotDayName(t.ctx))).isDir());
        QVERIFY(QFileInfo(t.path("DB")).isDir());
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
        QCOMPARE(r.copied, (QStringList{"A.WBD", "C.WBD"}));
        QCOMPARE(r.failed.size(), 1);
        QVERIFY(r.failed.first().startsWith("B.WBD"));
        QCOMPARE(t.prompter.texts(), QStringList{unexpectedErrorText()});
        QVERIFY(bytesOf(t.path("log/error.log")).contains("[FUNC] frmBackUp.Form_Activate()"));
        QCOMPARE(bytesOf(snap + "/A.WBD"), QByteArray("a2"));
        QCOMPARE(bytesOf(snap + "/C.WBD"), QByteArray("c2"));
        QVERIFY(QFileInfo(snap + "/B.WBD/inner").isDir());
        // "DB" is only read.
        QCOMPARE(entries(t.path("DB")), (QStringList{"A.WBD", "B.WBD", "C.WBD", "Out"}));
        QCOMPARE(bytesOf(t.path("DB/A.WBD")), QByteArray("a2"));
        QCOMPARE(bytesOf(t.path("DB/B.WBD")), QByteArray("b2"));
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
        QCOMPARE(t.prompter.texts(), QStringList{unexpectedErrorText()});
        QVERIFY(bytesOf(t.path("log/error.log")).contains("[FUNC] frmBackUp.Form_Activate()"));
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
                 volume + QStringLiteral("ドライブ配下のディスク容量が、500MByteをきりました。\r"
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
        t.ctx.currentAccount.authority = authority;
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

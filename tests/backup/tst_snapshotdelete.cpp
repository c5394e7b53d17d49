#include <QDir>
#include <QFile>
#include <QtTest>

#include <unistd.h>

#include "backup/snapshot.h"
#include "backup/snapshotdelete.h"
#include "core/errorlog.h"
#include "support/testcontext.h"

using namespace velto;
using velto::test::TestContext;

namespace {

const QString kToday = QStringLiteral("令和08年12月10日");
const QString kDay1 = QStringLiteral("令和08年12月01日");
const QString kDay2 = QStringLiteral("令和08年12月05日");
const QString kShort = QStringLiteral("old");
const QString kQuestionMarked = QStringLiteral("バックアップデータを削除します。よろしいですか？");
const QString kQuestionAll = QStringLiteral("全てのバックアップデータを削除します。よろしいですか？");
const QString kNoneMarked = QStringLiteral("リストが選択されていません。");

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Three day snapshots (today's among them) and one folder with a short name.
void makeSnapshots(TestContext &t)
{
    t.makeFolders();
    t.ctx.todayEraDate = kToday;
    for (const QString &d : {kDay1, kDay2, kToday, kShort})
        put(t.path("BackUp/" + d + "/ROOM.WBD"), "layout");
}

} // namespace

class TstSnapshotDelete : public QObject {
    Q_OBJECT

private slots:
    void listsFoldersByWholeName()
    {
        TestContext t;
        makeSnapshots(t);
        QVERIFY(QFile::link(t.dir.path(), t.path("BackUp/令和08年11月30日"))); // a link is no snapshot
        put(t.path("BackUp/stray.txt"), "x");
        const SnapshotListing l = activateSnapshotList(t.ctx);
        QVERIFY(!l.hide);
        QCOMPARE(l.names, (QStringList {"old", kDay1, kDay2, kToday}));
        QVERIFY(t.prompter.asked.isEmpty());
        // The board's date list leaves the link out too, and the short name.
        QCOMPARE(buildDateList(t.ctx), (QStringList {kToday, kDay1, kDay2}));
    }

    void noSnapshotTellsAndHides()
    {
        TestContext t;
        t.makeFolders();
        const SnapshotListing l = activateSnapshotList(t.ctx);
        QVERIFY(l.hide);
        QCOMPARE(t.prompter.texts(), QStringList {QStringLiteral("バックアップデータはありません。")});
    }

    void delClick_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("authority");
        QTest::addColumn<QStringList>("marked");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("dialogs");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QStringList>("boardDates");

        const QStringList all {kShort, kDay1, kDay2, kToday};
        const int marked = int(DeleteMode::Marked);
        const int everything = int(DeleteMode::All);
        QTest::newRow("marked, yes") << marked << 2 << QStringList {kDay2, kShort} << true
                                     << QStringList {kQuestionMarked} << QStringList {kDay1, kToday}
                                     << QStringList {kToday, kDay1};
        QTest::newRow("marked, no") << marked << 2 << QStringList {kDay2} << false << QStringList {kQuestionMarked}
                                    << all << QStringList {};
        QTest::newRow("nothing marked") << marked << 2 << QStringList {} << true
                                        << QStringList {kQuestionMarked, kNoneMarked} << all << QStringList {};
        QTest::newRow("today's snapshot")
            << marked << 2 << QStringList {kToday} << true << QStringList {kQuestionMarked}
            << QStringList {kShort, kDay1, kDay2} << QStringList {kToday, kDay1, kDay2}; // the short name is no day
        QTest::newRow("all, yes") << everything << 2 << QStringList {kDay1} << true << QStringList {kQuestionAll}
                                  << QStringList {} << QStringList {kToday};
        QTest::newRow("all, no") << everything << 2 << QStringList {} << false << QStringList {kQuestionAll} << all
                                 << QStringList {};
        QTest::newRow("restricted") << everything << 1 << QStringList {} << true << QStringList {} << all
                                    << QStringList {};
    }

    void delClick()
    {
        QFETCH(int, mode);
        QFETCH(int, authority);
        QFETCH(QStringList, marked);
        QFETCH(bool, answer);
        QFETCH(QStringList, dialogs);
        QFETCH(QStringList, remaining);
        QFETCH(QStringList, boardDates);

        TestContext t;
        makeSnapshots(t);
        t.ctx.currentAccount.authority = static_cast<Authority>(authority);
        t.prompter.answers = {answer};
        const QStringList listed = listSnapshots(t.ctx);

        const DelClickResult r = velto::delClick(t.ctx, DeleteMode(mode), listed, marked);
        QCOMPARE(t.prompter.texts(), dialogs);
        if (!dialogs.isEmpty())
            QCOMPARE(t.prompter.asked.first().kind, DialogKind::WarnYesNoDefNo);
        QCOMPARE(listSnapshots(t.ctx), remaining);
        const bool done = !boardDates.isEmpty();
        QCOMPARE(r.closeWindow, done);
        QCOMPARE(r.deleted, done);
        QCOMPARE(r.boardDates, boardDates);
        if (done)
            QCOMPARE(r.listNames, remaining);
    }

    // A snapshot that cannot be removed stops the deletion with an error
    // report; what was deleted before stays deleted and the lists follow
    // the folders.
    void failedRemovalIsReported_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("gone from the list's folder") << false; // a plain file took its name
        QTest::newRow("read-only folder") << true;
    }

    void failedRemovalIsReported()
    {
        QFETCH(bool, readOnly);
        if (readOnly && geteuid() == 0)
            QSKIP("root removes files from a read-only folder");
        TestContext t;
        makeSnapshots(t);
        const QString stuck = t.path("BackUp/" + kDay2);
        const QStringList listed = listSnapshots(t.ctx);
        if (readOnly) {
            QVERIFY(QFile::setPermissions(stuck, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else {
            QVERIFY(QDir(stuck).removeRecursively());
            put(stuck, "not a snapshot");
        }
        t.prompter.answers = {true};

        const DelClickResult r = velto::delClick(t.ctx, DeleteMode::Marked, listed, {kDay1, kDay2, kToday});
        if (readOnly)
            QFile::setPermissions(stuck, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QCOMPARE(t.prompter.texts(), (QStringList {kQuestionMarked, unexpectedErrorText()}));
        QFile log(t.path("log/error.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("[FUNC] frmBack.Delclick()"));
        QVERIFY(!QFileInfo::exists(t.path("BackUp/" + kDay1)));
        QVERIFY(QFileInfo::exists(stuck));
        QVERIFY(QFileInfo(t.path("BackUp/" + kToday)).isDir()); // after the failure nothing more goes
        QVERIFY(r.closeWindow);
        QCOMPARE(r.listNames, listSnapshots(t.ctx));
        QCOMPARE(r.boardDates, buildDateList(t.ctx)); // the start-up list's rule
    }

    void removalStaysInsideBackUp_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("dot") << ".";
        QTest::newRow("parent") << "..";
        QTest::newRow("path out") << "../DB";
        QTest::newRow("link out") << "linked";
        QTest::newRow("missing") << "nosuch";
    }

    void removalStaysInsideBackUp()
    {
        QFETCH(QString, name);
        TestContext t;
        t.makeFolders();
        put(t.path("DB/ROOM.WBD"), "live");
        QVERIFY(QFile::link(t.path("DB"), t.path("BackUp/linked")));
        QString error;
        QVERIFY(!removeSnapshot(t.ctx, name, &error));
        QVERIFY(QFileInfo::exists(t.path("DB/ROOM.WBD")));
        QVERIFY(QFileInfo(t.path("BackUp")).isDir());
    }

    void linksInsideSnapshotAreNotFollowed()
    {
        TestContext t;
        makeSnapshots(t);
        put(t.path("DB/ROOM.WBD"), "live");
        QVERIFY(QFile::link(t.path("DB/ROOM.WBD"), t.path("BackUp/" + kDay1 + "/file-link")));
        QVERIFY(QFile::link(t.path("DB"), t.path("BackUp/" + kDay1 + "/dir-link")));
        put(t.path("BackUp/" + kDay1 + "/sub/x"), "x");
        QString error;
        QVERIFY2(removeSnapshot(t.ctx, kDay1, &error), qPrintable(error));
        QVERIFY(!QFileInfo::exists(t.path("BackUp/" + kDay1)));
        QCOMPARE(QDir(t.path("DB")).entryList(QDir::Files), QStringList {"ROOM.WBD"});
    }
};

QTEST_GUILESS_MAIN(TstSnapshotDelete)
#include "tst_snapshotdelete.moc"

#include <QtTest>

#include "board/boardcontroller.h"
#include "board/wardlayout.h"
#include "core/textfile.h"
#include "support/testcontext.h"

using namespace velto;
using velto::test::TestContext;

namespace {
const QString Today = QStringLiteral("令和08年12月10日");
const QString PastDay = QStringLiteral("令和08年11月01日");
const QString Sato = QStringLiteral("佐藤_一郎_昭和10年5月3日");
const QString Tanaka = QStringLiteral("田中_次郎_昭和20年1月1日");

QString savedBed(const TestContext &tc, int bed)
{
    QStringList lines;
    QString error;
    textfile::readLines(tc.path("DB/" + layoutfile::Beds), &lines, &error);
    return lines.value(bed);
}
} // namespace

class TestBoardController : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> tc;

private slots:
    void init()
    {
        tc = std::make_unique<TestContext>();
        tc->makeFolders();
        tc->ctx.currentAccount.authority = Authority::Full;
        tc->ctx.todayEraDate = Today;
        QDir().mkpath(tc->path("BackUp/" + PastDay));
    }

    // Closing the board: today's layout is written when the account may
    // write it, and the automatic backup is due by the option and a full
    // authority alone.
    void closing_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<int>("backupOnOff");
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("backupDue");
        QTest::newRow("full, backup on") << 2 << 1 << false << false << true << true;
        QTest::newRow("full, backup on, past day") << 2 << 1 << true << false << false << true;
        QTest::newRow("full, backup off") << 2 << 0 << false << false << true << false;
        QTest::newRow("full, damaged layout") << 2 << 1 << false << true << false << true;
        QTest::newRow("restricted, backup on") << 1 << 1 << false << false << false << false;
        QTest::newRow("unknown authority, backup on") << 3 << 1 << false << false << false << false;
    }
    void closing()
    {
        QFETCH(int, authority);
        QFETCH(int, backupOnOff);
        QFETCH(bool, snapshot);
        QFETCH(bool, damaged);
        QFETCH(bool, written);
        QFETCH(bool, backupDue);
        tc->ctx.currentAccount.authority = static_cast<Authority>(authority);
        tc->ctx.optionValues.backupOnOff = backupOnOff;
        BoardController board(tc->ctx);
        board.load();
        QCOMPARE(board.dates(), (QStringList {Today, PastDay}));
        if (snapshot)
            QVERIFY(board.changeDisplayDate(1));
        if (damaged)
            tc->ctx.layoutFault = QStringLiteral("ROOM.WBDの241行目");
        board.model().setBedEntry(1, Tanaka);
        QCOMPARE(layoutSavePermitted(tc->ctx), written);
        QCOMPARE(board.close(), backupDue);
        QCOMPARE(savedBed(*tc, 1) == Tanaka, written);
    }

    void selection()
    {
        BoardController board(tc->ctx);
        board.load();
        QCOMPARE(board.selectedBed(), 0);
        QVERIFY(board.selectBed(239));
        QVERIFY(!board.selectBed(240));
        QVERIFY(!board.selectBed(-1));
        QCOMPARE(board.selectedBed(), 239);
        board.model().setBedEntry(239, Sato);
        QVERIFY(board.state().occupied);
        QVERIFY(board.isEnabled(BoardCommand::Discharge));
        QVERIFY(!board.isEnabled(BoardCommand::Readmit));
        // Loading again starts from the first bed and today.
        QVERIFY(board.changeDisplayDate(1));
        board.load();
        QCOMPARE(board.selectedBed(), 0);
        QVERIFY(board.showsToday());
    }

    // One record file per patient: a key may only be saved for the bed that
    // already holds it, or when no bed does.
    void keyTakenByOtherBed_data()
    {
        QTest::addColumn<int>("bed");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("taken");
        QTest::newRow("the bed's own key") << 5 << Sato << false;
        QTest::newRow("another bed's key") << 6 << Sato << true;
        QTest::newRow("the last bed's key, from the first") << 0 << Tanaka << true;
        QTest::newRow("a key no bed holds") << 5 << QStringLiteral("鈴木_花子_平成1年2月3日") << false;
    }
    void keyTakenByOtherBed()
    {
        QFETCH(int, bed);
        QFETCH(QString, key);
        QFETCH(bool, taken);
        BoardController board(tc->ctx);
        board.model().setBedEntry(5, Sato);
        board.model().setBedEntry(239, Tanaka);
        QCOMPARE(board.keyTakenByOtherBed(bed, key), taken);
    }
};

QTEST_GUILESS_MAIN(TestBoardController)
#include "tst_boardcontroller.moc"

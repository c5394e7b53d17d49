#include <QtTest>

#include "board/boardcommands.h"
#include "board/boardmodel.h"
#include "support/testcontext.h"

using namespace velto;

namespace {

using C = BoardCommand;

const QList<BoardCommand> AllCommands {
    C::Close,         C::MoveBed,    C::EditRecord, C::Discharge, C::Readmit, C::Erase,
    C::RoomNumber,    C::RoomColour, C::Facility,   C::Staff,     C::Options, C::Backup,
    C::DeleteBackups, C::History,    C::Statistics, C::Help,      C::About,   C::DismissMenu,
};
// Enabled whatever the state.
const QList<BoardCommand> AlwaysOn {C::Close,      C::Facility, C::Staff, C::DeleteBackups, C::History,
                                    C::Statistics, C::Help,     C::About, C::DismissMenu};

QList<BoardCommand> enabledIn(const BoardState &state)
{
    QList<BoardCommand> on;
    for (BoardCommand c : AllCommands)
        if (commandEnabled(c, state))
            on << c;
    return on;
}

QList<BoardCommand> sortedCommands(QList<BoardCommand> l)
{
    std::sort(l.begin(), l.end());
    return l;
}

} // namespace

Q_DECLARE_METATYPE(QList<velto::BoardCommand>)

class TestBoardCommands : public QObject {
    Q_OBJECT

private slots:
    // Which commands each state allows, besides those always on.
    void enabledState_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("today");
        QTest::addColumn<bool>("layoutWhole");
        QTest::addColumn<bool>("occupied");
        QTest::addColumn<QList<BoardCommand>>("on");

        const QList<BoardCommand> room {C::RoomNumber, C::RoomColour, C::Backup, C::Options};
        QTest::newRow("full, today, occupied")
            << 2 << true << true << true
            << QList<BoardCommand> {C::MoveBed, C::EditRecord, C::Discharge, C::Erase} + room;
        QTest::newRow("full, today, free")
            << 2 << true << true << false << QList<BoardCommand> {C::EditRecord, C::Readmit} + room;
        QTest::newRow("full, snapshot, occupied") << 2 << false << true << true << QList<BoardCommand> {C::EditRecord};
        QTest::newRow("full, snapshot, free") << 2 << false << true << false << QList<BoardCommand> {};
        QTest::newRow("restricted, today, occupied")
            << 1 << true << true << true << QList<BoardCommand> {C::EditRecord};
        QTest::newRow("restricted, today, free") << 1 << true << true << false << QList<BoardCommand> {};
        QTest::newRow("restricted, snapshot, occupied")
            << 1 << false << true << true << QList<BoardCommand> {C::EditRecord};
        // Backup and options touch no layout file: a damaged layout keeps them.
        QTest::newRow("full, today, layout damaged, occupied")
            << 2 << true << false << true << QList<BoardCommand> {C::EditRecord, C::Backup, C::Options};
        QTest::newRow("full, today, layout damaged, free")
            << 2 << true << false << false << QList<BoardCommand> {C::Backup, C::Options};
        // A digit other than 1 or 2 in the staff file is not restricted.
        QTest::newRow("unknown authority, today, free")
            << 3 << true << true << false << QList<BoardCommand> {C::EditRecord, C::Readmit} + room;
    }
    void enabledState()
    {
        QFETCH(int, authority);
        QFETCH(bool, today);
        QFETCH(bool, layoutWhole);
        QFETCH(bool, occupied);
        QFETCH(QList<BoardCommand>, on);
        BoardState state;
        state.authority = static_cast<Authority>(authority);
        state.today = today;
        state.layoutWhole = layoutWhole;
        state.occupied = occupied;
        QCOMPARE(sortedCommands(enabledIn(state)), sortedCommands(AlwaysOn + on));
    }

    // The run's values: a bed whose entry has no "_" shows nothing and
    // counts as free; a snapshot index counts as not today.
    void stateFromContext_data()
    {
        QTest::addColumn<int>("dateIndex");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("today");
        QTest::addColumn<bool>("layoutWhole");
        QTest::addColumn<bool>("occupied");
        const QString sato = QStringLiteral("佐藤_一郎_昭和10年5月3日");
        QTest::newRow("occupied") << 0 << QString() << sato << true << true << true;
        QTest::newRow("entry without _") << 0 << QString() << QStringLiteral("NOUNDERSCORE") << true << true << false;
        QTest::newRow("snapshot") << 1 << QString() << sato << false << true << true;
        QTest::newRow("damaged layout") << 0 << QStringLiteral("ROOM.WBDの241行目") << sato << true << false << true;
    }
    void stateFromContext()
    {
        QFETCH(int, dateIndex);
        QFETCH(QString, fault);
        QFETCH(QString, entry);
        QFETCH(bool, today);
        QFETCH(bool, layoutWhole);
        QFETCH(bool, occupied);
        test::TestContext tc;
        tc.ctx.currentAccount.authority = Authority::Full;
        tc.ctx.displayDateIndex = dateIndex;
        tc.ctx.layoutFault = fault;
        BoardModel m;
        m.setBedEntry(17, entry);
        const BoardState s = boardState(tc.ctx, m, 17);
        QCOMPARE(s.authority, Authority::Full);
        QCOMPARE(s.today, today);
        QCOMPARE(s.layoutWhole, layoutWhole);
        QCOMPARE(s.occupied, occupied);
        // Only the selected bed counts.
        QVERIFY(!boardState(tc.ctx, m, 16).occupied);
    }

    // Each surface offers a command at most once, each under its own
    // objectName and with a caption, in a strict display order.
    void surfacesNameEachCommandOnce_data()
    {
        QTest::addColumn<int>("surface");
        QTest::addColumn<int>("count");
        QTest::newRow("menu bar") << int(BoardOrigin::MenuBar) << 18;
        QTest::newRow("toolbar") << int(BoardOrigin::Toolbar) << 12;
        QTest::newRow("bed menu") << int(BoardOrigin::PopupMenu) << 8;
    }
    void surfacesNameEachCommandOnce()
    {
        QFETCH(int, surface);
        QFETCH(int, count);
        const BoardOrigin origin = BoardOrigin(surface);
        const QList<BoardCommandRow> rows = commandsOn(origin);
        QCOMPARE(rows.size(), count);
        QSet<QString> names;
        QSet<int> commands;
        int lastPosition = -1;
        for (const BoardCommandRow &row : rows) {
            const CommandPlacement &p = placement(row, origin);
            QVERIFY(p.position > lastPosition); // display order
            lastPosition = p.position;
            QVERIFY2(!names.contains(QString::fromLatin1(p.objectName)), p.objectName);
            names.insert(QString::fromLatin1(p.objectName));
            QVERIFY(!commands.contains(int(row.command)));
            commands.insert(int(row.command));
            QVERIFY2(*p.caption, p.objectName);
        }
    }
};

QTEST_GUILESS_MAIN(TestBoardCommands)
#include "tst_boardcommands.moc"

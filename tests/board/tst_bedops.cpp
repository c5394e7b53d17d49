#include <QDir>
#include <QFile>
#include <QtTest>

#include "board/bedops.h"
#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "support/patients.h"
#include "support/testcontext.h"

using namespace velto;
using velto::test::TestContext;

namespace {
using test::Sato;
using test::Suzuki;
// The longest room number the dialog takes, untrimmed.
const QString Typed20 = QStringLiteral(" ２０字の部屋番号ﾍﾔ12345678 ");
} // namespace

class TestBedOps : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> tc;
    bool layoutSaved() const { return QFile::exists(tc->path(QStringLiteral("DB/") + layoutfile::Beds)); }

private slots:
    void init()
    {
        tc = std::make_unique<TestContext>();
        tc->makeFolders();
        tc->ctx.currentAccount.authority = 2;
        tc->ctx.todayEraDate = QStringLiteral("令和08年12月10日");
    }

    void bedMove_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<int>("dateIndex");
        QTest::addColumn<QString>("targetEntry");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("sourceAfter");
        QTest::addColumn<QString>("targetAfter");
        QTest::newRow("to a free bed") << 2 << 0 << QString() << 100 << QString() << Sato;
        QTest::newRow("onto an occupied bed exchanges") << 2 << 0 << Suzuki << 100 << Suzuki << Sato;
        QTest::newRow("same bed") << 2 << 0 << QString() << 5 << Sato << Sato;
        QTest::newRow("restricted") << 1 << 0 << QString() << 100 << Sato << QString();
        QTest::newRow("snapshot") << 2 << 1 << QString() << 100 << Sato << QString();
        QTest::newRow("outside the board") << 2 << 0 << QString() << 240 << Sato << QString();
    }
    void bedMove()
    {
        QFETCH(int, authority);
        QFETCH(int, dateIndex);
        QFETCH(QString, targetEntry);
        QFETCH(int, target);
        QFETCH(QString, sourceAfter);
        QFETCH(QString, targetAfter);
        tc->ctx.currentAccount.authority = authority;
        tc->ctx.displayDateIndex = dateIndex;
        tc->ctx.selectedBed = 5;
        BoardModel m;
        m.setBedEntry(5, Sato);
        if (target != 5)
            m.setBedEntry(target, targetEntry);

        QCOMPARE(dropOnBed(tc->ctx, m, target), sourceAfter != Sato);
        QCOMPARE(m.bedEntry(5), sourceAfter);
        QCOMPARE(m.bedCaption(5), BoardModel::captionOf(sourceAfter));
        if (BoardModel::isBed(target)) {
            QCOMPARE(m.bedEntry(target), targetAfter);
            QCOMPARE(m.bedCaption(target), BoardModel::captionOf(targetAfter));
        }
        QCOMPARE(tc->ctx.selectedBed, 5);
        QVERIFY(tc->prompter.asked.isEmpty());
        // A move is written at once; a refused or empty drop writes nothing.
        QCOMPARE(layoutSaved(), sourceAfter != Sato);
        if (layoutSaved()) {
            BoardModel back;
            QVERIFY(loadWardLayout(tc->ctx, back, tc->path(QStringLiteral("DB"))));
            QCOMPARE(back.bedEntry(5), sourceAfter);
            QCOMPARE(back.bedEntry(target), targetAfter);
        }
    }

    void canStartBedMove_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<int>("dateIndex");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("can");
        QTest::newRow("occupied") << 2 << 0 << Sato << true;
        QTest::newRow("free") << 2 << 0 << QString() << false;
        QTest::newRow("restricted") << 1 << 0 << Sato << false;
        QTest::newRow("snapshot") << 2 << 3 << Sato << false;
    }
    void canStartBedMove()
    {
        QFETCH(int, authority);
        QFETCH(int, dateIndex);
        QFETCH(QString, entry);
        QFETCH(bool, can);
        tc->ctx.currentAccount.authority = authority;
        tc->ctx.displayDateIndex = dateIndex;
        tc->ctx.selectedBed = 9;
        BoardModel m;
        m.setBedEntry(9, entry);
        QCOMPARE(velto::canStartBedMove(tc->ctx, m), can);
    }

    void roomNumber_data()
    {
        QTest::addColumn<int>("origin");
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("saved");
        const int popup = int(BoardOrigin::PopupMenu);
        const QString typed = Typed20;
        const QString old = QStringLiteral("301");
        QTest::newRow("popup, OK") << popup << 2 << true << true << old << typed << true;
        QTest::newRow("popup, Cancel still saves") << popup << 2 << false << true << old << old << true;
        QTest::newRow("popup, restricted") << popup << 1 << true << false << QString() << old << false;
        QTest::newRow("menu bar, OK") << int(BoardOrigin::MenuBar) << 2 << true << true << old << typed
                                      << true;
        QTest::newRow("toolbar, OK") << int(BoardOrigin::Toolbar) << 2 << true << true << old << typed
                                     << true;
        QTest::newRow("menu bar, restricted starts empty")
            << int(BoardOrigin::MenuBar) << 1 << false << true << QString() << old << false;
    }
    void roomNumber()
    {
        QFETCH(int, origin);
        QFETCH(int, authority);
        QFETCH(bool, ok);
        QFETCH(bool, asked);
        QFETCH(QString, initial);
        QFETCH(QString, after);
        QFETCH(bool, saved);
        const QString typed = Typed20;
        QCOMPARE(typed.size(), BoardModel::RoomNumberMaxLength);
        tc->ctx.currentAccount.authority = authority;
        tc->ctx.selectedBed = 239; // room 29
        BoardModel m;
        m.setRoomNumber(29, QStringLiteral("301"));

        bool shown = false;
        QString shownText;
        setRoomNumber(tc->ctx, m, BoardOrigin(origin), [&](const QString &start) {
            shown = true;
            shownText = start;
            return ok ? std::optional<QString>(typed) : std::nullopt;
        });
        QCOMPARE(shown, asked);
        QCOMPARE(shownText, initial);
        QCOMPARE(m.roomNumber(29), after);
        QCOMPARE(m.roomNumber(28), QString());
        QCOMPARE(layoutSaved(), saved);
        if (saved) {
            BoardModel back;
            QVERIFY(loadWardLayout(tc->ctx, back, tc->path(QStringLiteral("DB"))));
            QCOMPARE(back.roomNumber(29), after);
        }
    }

    void emptyRoomNumberClears()
    {
        tc->ctx.selectedBed = 0;
        BoardModel m;
        m.setRoomNumber(0, QStringLiteral("101"));
        QVERIFY(setRoomNumber(tc->ctx, m, BoardOrigin::MenuBar,
                              [](const QString &) { return std::optional<QString>(QString()); }));
        QCOMPARE(m.roomNumber(0), QString());
    }

    void roomColour_data()
    {
        QTest::addColumn<int>("origin");
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("saved");
        const int chosen = BoardModel::storedColour(255, 128, 0); // orange
        const int grey = BoardModel::InitialRoomColour;
        QTest::newRow("popup") << int(BoardOrigin::PopupMenu) << 2 << true << true << chosen << true;
        QTest::newRow("toolbar") << int(BoardOrigin::Toolbar) << 2 << true << true << chosen << true;
        QTest::newRow("menu bar") << int(BoardOrigin::MenuBar) << 2 << true << true << chosen << true;
        QTest::newRow("popup, Cancel keeps the colour") << int(BoardOrigin::PopupMenu) << 2 << false
                                                        << true << grey << true;
        QTest::newRow("popup, restricted") << int(BoardOrigin::PopupMenu) << 1 << true << false << grey
                                           << false;
        QTest::newRow("toolbar, restricted") << int(BoardOrigin::Toolbar) << 1 << true << false << grey
                                             << false;
    }
    void roomColour()
    {
        QFETCH(int, origin);
        QFETCH(int, authority);
        QFETCH(bool, ok);
        QFETCH(bool, asked);
        QFETCH(int, after);
        QFETCH(bool, saved);
        QCOMPARE(BoardModel::storedColour(255, 128, 0), 0x0080FF);
        tc->ctx.currentAccount.authority = authority;
        tc->ctx.selectedBed = 3; // room 0
        BoardModel m;
        bool shown = false;
        int offered = -1;
        setRoomColour(tc->ctx, m, BoardOrigin(origin), [&](int current) {
            shown = true;
            offered = current;
            return ok ? std::optional<int>(BoardModel::storedColour(255, 128, 0)) : std::nullopt;
        });
        QCOMPARE(shown, asked);
        if (shown)
            QCOMPARE(offered, BoardModel::InitialRoomColour);
        QCOMPARE(m.roomColour(0), after);
        QCOMPARE(m.roomColour(1), BoardModel::InitialRoomColour);
        QCOMPARE(layoutSaved(), saved);
        if (saved) {
            BoardModel back;
            QVERIFY(loadWardLayout(tc->ctx, back, tc->path(QStringLiteral("DB"))));
            QCOMPARE(back.roomColour(0), after);
        }
    }

    // A change the files did not take is not kept on the board: it would
    // look saved and be lost at the next start.
    void unsavedChangeIsRolledBack_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("dbMissing");
        QTest::newRow("room number the files cannot hold") << "number Café" << false;
        QTest::newRow("room number, save fails") << "number 302" << true;
        QTest::newRow("room colour, save fails") << "colour" << true;
        QTest::newRow("bed move, save fails") << "move" << true;
    }
    void unsavedChangeIsRolledBack()
    {
        QFETCH(QString, change);
        QFETCH(bool, dbMissing);
        BoardModel m;
        m.setBedEntry(5, Sato);
        m.setRoomNumber(0, QStringLiteral("301"));
        QCOMPARE(saveWardLayout(tc->ctx, m), LayoutSaveResult::Saved);
        if (dbMissing)
            QVERIFY(QDir(tc->path(QStringLiteral("DB"))).removeRecursively());
        tc->ctx.selectedBed = 5;
        if (change.startsWith(QLatin1String("number"))) {
            const QString typed = change.mid(7);
            QVERIFY(!setRoomNumber(tc->ctx, m, BoardOrigin::MenuBar,
                                   [&](const QString &) { return std::optional<QString>(typed); }));
        } else if (change == QLatin1String("colour")) {
            QVERIFY(!setRoomColour(tc->ctx, m, BoardOrigin::MenuBar, [](int) { return std::optional<int>(255); }));
        } else {
            QVERIFY(!velto::dropOnBed(tc->ctx, m, 6));
        }
        QCOMPARE(m.roomNumber(0), QStringLiteral("301"));
        QCOMPARE(m.roomColour(0), BoardModel::InitialRoomColour);
        QCOMPARE(m.bedEntry(5), Sato);
        QCOMPARE(m.bedEntry(6), QString());
        QCOMPARE(tc->prompter.asked.size(), 1); // the reason, once
    }

    // A snapshot on the board: nothing may be written over today's layout,
    // whichever way the change was chosen.
    void snapshotWritesNothing()
    {
        tc->ctx.displayDateIndex = 1;
        BoardModel m;
        for (BoardOrigin origin : {BoardOrigin::PopupMenu, BoardOrigin::MenuBar, BoardOrigin::Toolbar}) {
            setRoomColour(tc->ctx, m, origin, [](int) { return std::optional<int>(0); });
            setRoomNumber(tc->ctx, m, origin,
                          [](const QString &) { return std::optional<QString>(QStringLiteral("1")); });
        }
        QVERIFY(!layoutSaved());
    }
};

QTEST_GUILESS_MAIN(TestBedOps)
#include "tst_bedops.moc"

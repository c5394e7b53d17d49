#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

#include <QDrag>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

#include "backup/snapshot.h"
#include "board/admission.h"
#include "board/boardview.h"
#include "board/roomcolour.h"
#include "board/wardlayout.h"
#include "core/eradate.h"
#include "core/textfile.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "store/folderstore.h"
#include "support/patients.h"
#include "support/testcontext.h"
#include "ui/patientrecorddialog.h"
#include "ui/popupmenu.h"
#include "ui/wardboardwindow.h"

using namespace velto;
using velto::test::TestContext;

namespace {
const QString Today = QStringLiteral("令和08年12月10日");
const QString PastDay = QStringLiteral("令和08年11月01日");
using test::Sato;
using test::Suzuki;
using test::Tanaka;

void writeLayout(const QString &folder, const QMap<int, QString> &beds, const QString &room0Number)
{
    QStringList bedLines, numbers, colours;
    for (int i = 0; i < BoardModel::BedCount; ++i)
        bedLines << beds.value(i);
    for (int i = 0; i < BoardModel::RoomCount; ++i) {
        numbers << (i == 0 ? room0Number : QString());
        colours << QString::number(BoardModel::InitialRoomColour);
    }
    QDir().mkpath(folder);
    QString error;
    QVERIFY2(textfile::writeLines(folder + "/" + layoutfile::Beds, bedLines, &error), qPrintable(error));
    QVERIFY(textfile::writeLines(folder + "/" + layoutfile::RoomNumbers, numbers, &error));
    QVERIFY(textfile::writeLines(folder + "/" + layoutfile::RoomColours, colours, &error));
}

QStringList bedFile(const TestContext &tc)
{
    QStringList lines;
    QString error;
    textfile::readLines(tc.path("DB/" + layoutfile::Beds), &lines, &error);
    return lines;
}

QPushButton *bed(WardBoardWindow &w, int i)
{
    return w.findChild<QPushButton *>(QStringLiteral("roomBtn_%1").arg(i));
}

void drop(QWidget *target, int source)
{
    QMimeData mime;
    mime.setData(WardBoardWindow::BedMimeType, QByteArray::number(source));
    const QPointF at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent dropped(at, Qt::MoveAction, &mime, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
}
// What a menu shows, item by item: "objectName|text|shortcut", a
// separator as "-objectName".
QStringList shownItems(const QList<QAction *> &actions)
{
    QStringList items;
    for (QAction *a : actions) {
        if (a->isSeparator())
            items << "-" + a->objectName();
        else
            items << a->objectName() + "|" + a->text() + "|" + a->shortcut().toString();
    }
    return items;
}

// Runs f on the next modal window, if one opens, and closes it.
void onNextModal(std::function<void(QWidget *)> f)
{
    QTimer::singleShot(0, [f] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            f(w);
            if (auto *d = qobject_cast<QDialog *>(w))
                d->done(QDialog::Rejected);
        }
    });
}

const QList<BoardOrigin> Surfaces {BoardOrigin::MenuBar, BoardOrigin::Toolbar, BoardOrigin::PopupMenu};
} // namespace

Q_DECLARE_METATYPE(QList<velto::BoardCommand>)

class TestBoard : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> tc;

    // The enabled state of a probe: "m:" menu bar, "t:" toolbar, "p:" popup.
    static bool enabled(WardBoardWindow &w, const QString &probe)
    {
        const QString name = probe.mid(2);
        QAction *a = probe.startsWith("m:")   ? w.menuItem(name)
                     : probe.startsWith("t:") ? w.toolButton(name)
                                              : w.popupMenu()->item(name);
        if (!a)
            qFatal("no item %s", qPrintable(probe));
        return a->isEnabled();
    }

private slots:
    void init()
    {
        tc = std::make_unique<TestContext>();
        tc->makeFolders();
        tc->ctx.currentAccount.authority = Authority::Full;
        tc->ctx.todayEraDate = Today;
        writeLayout(tc->path("DB"), {{0, Sato}, {5, Suzuki}, {239, "no-underscore"}}, "101");
        writeLayout(tc->path("BackUp/" + PastDay), {{0, Tanaka}}, "201");
        QDir().mkpath(tc->path("BackUp/" + Today)); // today's own snapshot is not listed
    }

    // A layout that did not load whole: the board says so, offers no change,
    // and closing it writes nothing over the files.
    void partlyReadLayoutOpensReadOnly()
    {
        QStringList lines = bedFile(*tc);
        lines << QStringLiteral("extra_x");
        QString error;
        QVERIFY(textfile::writeLines(tc->path("DB/" + layoutfile::Beds), lines, &error));
        QByteArray before;
        {
            QFile f(tc->path("DB/" + layoutfile::Beds));
            QVERIFY(f.open(QIODevice::ReadOnly));
            before = f.readAll();
        }
        {
            WardBoardWindow w(tc->ctx);
            w.resize(1100, 760);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QVERIFY2(w.readOnlyText().contains(QStringLiteral("ROOM.WBDの241行目")), qPrintable(w.readOnlyText()));
            QVERIFY(w.findChild<QLabel *>("lblReadOnly")->isVisible());
            if (!qEnvironmentVariableIsEmpty("VELTO_SHOTS"))
                w.grab().save(qEnvironmentVariable("VELTO_SHOTS") + "/board-readonly.png");
            w.bedFocused(0);
            for (const char *probe :
                 {"m:Bed", "m:Taiin", "m:DataDel", "m:set", "m:Col3", "p:bed", "p:Out", "t:tooltain"})
                QVERIFY2(!enabled(w, probe), probe);
            QVERIFY(enabled(w, "p:edit")); // the record still opens, to be read
            w.bedFocused(1);
            QVERIFY(!enabled(w, "p:SaiNyuin"));
            QVERIFY(!enabled(w, "p:edit"));
            drop(bed(w, 1), 0);
            QCOMPARE(bed(w, 0)->text(), QStringLiteral("佐藤"));
            w.close();
        }
        QFile f(tc->path("DB/" + layoutfile::Beds));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    // The ward's server lost and back: the board keeps its beds, says why it
    // is read-only and offers no change until the server is back.
    void serverLostBannerAndBack()
    {
        struct EventfulStore : FolderStore {
            using FolderStore::FolderStore;
            std::function<void(Event)> listener;
            void setChangeListener(std::function<void(Event)> l) override { listener = std::move(l); }
        };
        auto *store = new EventfulStore(tc->ctx.appDir);
        tc->store.reset(store);
        tc->ctx.store = store;
        WardBoardWindow w(tc->ctx);
        w.resize(1100, 760);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.bedFocused(0);
        QVERIFY(enabled(w, "m:Taiin"));
        store->listener(WardStore::Event::Lost);
        QCOMPARE(w.readOnlyText(), storetext::ServerLost);
        QVERIFY(w.findChild<QLabel *>("lblReadOnly")->isVisible());
        QCOMPARE(bed(w, 0)->text(), QStringLiteral("佐藤"));
        for (const char *probe : {"m:Bed", "m:Taiin", "m:DataDel", "m:set", "p:bed", "p:Out"})
            QVERIFY2(!enabled(w, probe), probe);
        if (!qEnvironmentVariableIsEmpty("VELTO_SHOTS"))
            w.grab().save(qEnvironmentVariable("VELTO_SHOTS") + "/board-server-lost.png");
        store->listener(WardStore::Event::Regained);
        QCOMPARE(w.readOnlyText(), QString());
        QVERIFY(!w.findChild<QLabel *>("lblReadOnly")->isVisible());
        QVERIFY(enabled(w, "m:Taiin"));
        w.close();
        tc->store->setChangeListener({});
    }

    // A renamed patient whose layout cannot be saved: the old record stays,
    // the bed still names it, and the window keeps what was typed.
    void renameThatCannotSaveTheLayoutKeepsTheRecord()
    {
        tc->ctx.currentAccount = {QStringLiteral("nurse"), Authority::Full, QStringLiteral("看護師"), QString()};
        {
            PatientRecord r = newPatientRecord();
            r.setValue(recordkey::FamilyName, QStringLiteral("佐藤"));
            r.setValue(recordkey::GivenName, QStringLiteral("一郎"));
            r.setValue(recordkey::Era, QStringLiteral("昭和"));
            r.setValue(recordkey::Year, QStringLiteral("10年"));
            r.setValue(recordkey::Month, QStringLiteral("5月"));
            r.setValue(recordkey::Day, QStringLiteral("3日"));
            r.setValue(QStringLiteral("005"), QStringLiteral("男"));
            QVERIFY(writePatientRecord(tc->ctx, RecordRef::today(Sato), r));
        }
        const QStringList layoutBefore = bedFile(*tc);
        WardBoardWindow board(tc->ctx);
        board.setPopupRunner([](QMenu &, const QPoint &) {});
        bool stayedOpen = false;
        QTimer::singleShot(0, [&] {
            auto *w = qobject_cast<PatientRecordDialog *>(QApplication::activeModalWidget());
            if (!w)
                return;
            w->findChild<QLineEdit *>("txtNameKanji2")->setText(QStringLiteral("次郎"));
            textfile::setStepHook([](const QString &step) { return step != QLatin1String("stage ROOM.WBD"); });
            w->saveAndClose();
            textfile::setStepHook({});
            stayedOpen = w->isVisible() && w->findChild<QLineEdit *>("txtNameKanji2")->text() == QStringLiteral("次郎");
            w->cancelAndClose();
        });
        board.bedClicked(0);
        board.popupMenu()->item("edit")->trigger();
        QVERIFY(stayedOpen);
        QVERIFY(QFile::exists(tc->path("DB/" + Sato)));
        QVERIFY(!QFile::exists(tc->path("DB/佐藤_次郎_昭和10年5月3日")));
        QCOMPARE(bedFile(*tc), layoutBefore);
        QCOMPARE(bed(board, 0)->toolTip(), Sato);
    }

    void showsTheLayout()
    {
        WardBoardWindow w(tc->ctx);
        QCOMPARE(w.windowTitle(), QStringLiteral("Velto"));
        QCOMPARE(w.findChildren<QPushButton *>(QRegularExpression("^roomBtn_\\d+$")).size(), 240);
        QCOMPARE(w.findChildren<QLabel *>(QRegularExpression("^Label1_\\d+$")).size(), 30);
        QVERIFY(bed(w, 0) && bed(w, 239));

        QCOMPARE(bed(w, 0)->text(), QStringLiteral("佐藤"));
        QCOMPARE(bed(w, 0)->toolTip(), Sato);
        QCOMPARE(bed(w, 5)->text(), QStringLiteral("鈴木"));
        QCOMPARE(bed(w, 1)->text(), QString());
        // An entry without "_" shows nothing but keeps its tooltip.
        QCOMPARE(bed(w, 239)->text(), QString());
        QCOMPARE(bed(w, 239)->toolTip(), QStringLiteral("no-underscore"));
        QCOMPARE(w.findChild<QLabel *>("Label1_0")->text(), QStringLiteral("101"));

        auto *dates = w.findChild<QComboBox *>("cmbDate");
        QVERIFY(dates);
        QCOMPARE(dates->count(), 2);
        QCOMPARE(dates->itemText(0), Today);
        QCOMPARE(dates->itemText(1), PastDay);
        QCOMPARE(w.findChild<QPushButton *>("cmdToday")->text(), QStringLiteral("今日"));
        QCOMPARE(w.popupMenu()->item("edit")->text(), QStringLiteral(" 患者情報編集(&E)...\tCtrl+E"));
        QCOMPARE(w.menuItem("DataDel")->shortcut(), QKeySequence(Qt::Key_Delete));
        QCOMPARE(w.toolButton("toolHelp")->toolTip(), QStringLiteral("ヘルプを表示します"));
        QVERIFY(!w.toolButton("toolHelp")->icon().isNull());

        // The popup's own metrics: thin separators, items of at least 18
        // pixels, as wide as the longest text + 32.
        QMenu *menu = w.popupMenu();
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QCOMPARE(menu->actionGeometry(menu->actions().at(1)).height(), 5); // Sep
        const QRect edit = menu->actionGeometry(w.popupMenu()->item("edit"));
        QVERIFY(edit.height() >= 18);
        QVERIFY(edit.width() >= menu->fontMetrics().horizontalAdvance(" 患者情報編集(E)...    Ctrl+E") + 32);
        menu->hide();
    }

    // Every surface shows its items in this order, with these names,
    // captions, shortcuts and separators.
    void surfacesShowTheirItems()
    {
        WardBoardWindow w(tc->ctx);
        auto *bar = w.findChild<QMenuBar *>();
        QVERIFY(bar);
        QStringList menus;
        for (QAction *m : bar->actions())
            menus << m->menu()->objectName() + "|" + m->text();
        QCOMPARE(menus, (QStringList {"File|ﾌｧｲﾙ(&F)", "Edit2|編集(&E)", "Tool|ﾂｰﾙ(&T)", "Data|ﾃﾞｰﾀ(&D)",
                                      "other|その他(&O)"}));
        auto items = [&](const char *menu) { return shownItems(w.findChild<QMenu *>(menu)->actions()); };
        QCOMPARE(items("File"), QStringList {"end|Veltoの終了(&X)|Ctrl+X"});
        QCOMPARE(items("Edit2"),
                 (QStringList {"Bed|ベッド移動(&M)|", "-Sep3", "Edit|患者情報編集(&E)...|Ctrl+E",
                               "Taiin|退院(&T)|Ctrl+T", "Sai|再入院(&R)|Ctrl+R", "DataDel|データ消去(&D)|Del", "-Sep4",
                               "set|部屋番号設定(&N)...|Ctrl+N", "Col3|部屋の色設定(&C)...|Ctrl+C"}));
        QCOMPARE(items("Tool"),
                 (QStringList {"setHospitalInfo|施設情報設定(&H)...|", "kangofu|スタッフ情報設定(&N)...|", "-Sep212",
                               "OptionDlgStart|ｵﾌﾟｼｮﾝ(&O)...|"}));
        QCOMPARE(items("Data"),
                 (QStringList {"Backup|ﾊﾞｯｸｱｯﾌﾟ(&B)...|Ctrl+B", "BackupDataDell|ﾊﾞｯｸｱｯﾌﾟﾃﾞｰﾀ削除(&D)...|Ctrl+D",
                               "-SepHistory", "History|履歴(&H)...|", "Statistics|病棟統計(&S)...|"}));
        QCOMPARE(items("other"), (QStringList {"help|Veltoのヘルプ(&H)...|F1", "white|Veltoについて(&N)...|",
                                               "-SepWall", "wallMode|壁掛け表示(&W)|F11"}));

        QStringList tools;
        for (QAction *a : w.findChild<QToolBar *>("Toolbar1")->actions())
            tools << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + "|" + a->toolTip());
        QCOMPARE(tools, (QStringList {"toolClose|Veltoを終了します", "-", "toolBedMove|ベッド移動をします",
                                      "toolHensyu|患者情報を編集します", "tooltain|退院させます",
                                      "toolSai|再入院させます", "toolDel|データを消去します", "-",
                                      "toolHouseno|部屋番号を設定します", "toolHouseCol|部屋の色を設定します", "-",
                                      "toolShisetu|施設情報を設定します", "toolStaff|スタッフ情報を設定します", "-",
                                      "toolVer|バージョン情報を表示します", "toolHelp|ヘルプを表示します"}));

        // The bed menu shows its keys as text only: the menu bar owns them.
        QCOMPARE(shownItems(w.popupMenu()->actions()),
                 (QStringList {"bed| ベット移動(&M)|", "-Sep", "edit| 患者情報編集(&E)...\tCtrl+E|",
                               "Taiin| 退院(&T)\tCtrl+T|", "SaiNyuin| 再入院(&R)\tCtrl+R|", "Out| データ消去(&D)\tDel|",
                               "-sep2", "no| 部屋番号設定(&N)...\tCtrl+N|", "color| 部屋の色設定(&C)...\tCtrl+C|",
                               "-Sep3", "END| 操作取り消し(&O)\tCtrl+O|"}));
        QCOMPARE(w.popupMenu()->objectName(), QStringLiteral("aaa"));
    }

    // Every surface's action of a command is enabled exactly when the
    // command is, for the account, the day shown and the selected bed.
    void commandStates_data()
    {
        using C = BoardCommand;
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QList<BoardCommand>>("on"); // besides those always on
        const QList<BoardCommand> room {C::RoomNumber, C::RoomColour, C::Backup, C::Options};
        QTest::newRow("full, today, occupied")
            << 2 << false << 0 << QList<BoardCommand> {C::MoveBed, C::EditRecord, C::Discharge, C::Erase} + room;
        QTest::newRow("full, today, free") << 2 << false << 1 << QList<BoardCommand> {C::EditRecord, C::Readmit} + room;
        QTest::newRow("restricted, today, occupied") << 1 << false << 0 << QList<BoardCommand> {C::EditRecord};
        QTest::newRow("restricted, today, free") << 1 << false << 1 << QList<BoardCommand> {};
        QTest::newRow("full, snapshot, occupied") << 2 << true << 0 << QList<BoardCommand> {C::EditRecord};
        QTest::newRow("full, snapshot, free") << 2 << true << 1 << QList<BoardCommand> {};
    }

    void commandStates()
    {
        QFETCH(int, authority);
        QFETCH(bool, snapshot);
        QFETCH(int, selected);
        QFETCH(QList<BoardCommand>, on);
        tc->ctx.currentAccount.authority = static_cast<Authority>(authority);
        WardBoardWindow w(tc->ctx);
        if (snapshot)
            w.findChild<QComboBox *>("cmbDate")->setCurrentIndex(1);
        w.bedFocused(selected);
        const QList<BoardCommand> alwaysOn {
            BoardCommand::Close,    BoardCommand::Facility,   BoardCommand::Staff, BoardCommand::DeleteBackups,
            BoardCommand::History,  BoardCommand::Statistics, BoardCommand::Help,  BoardCommand::About,
            BoardCommand::WallMode, BoardCommand::DismissMenu};
        int checked = 0;
        for (const BoardCommandRow &row : boardCommands()) {
            const bool expected = alwaysOn.contains(row.command) || on.contains(row.command);
            for (BoardOrigin surface : Surfaces) {
                QAction *a = w.commandAction(row.command, surface);
                QCOMPARE(a != nullptr, placement(row, surface).shown());
                if (!a)
                    continue;
                QVERIFY2(a->isEnabled() == expected, qPrintable(a->objectName()));
                ++checked;
            }
        }
        QCOMPARE(checked, 18 + 12 + 8);
    }

    // Each surface's action runs its own command on the selected bed.
    void everySurfaceRunsItsCommand_data()
    {
        QTest::addColumn<int>("surface");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("effect");
        const int m = int(BoardOrigin::MenuBar), t = int(BoardOrigin::Toolbar), p = int(BoardOrigin::PopupMenu);
        const QString discharge = "asked " + dischargeQuestion(QStringLiteral("佐藤"));
        const QString erase = "asked " + eraseQuestion(QStringLiteral("佐藤"));
        const QString readmit = QStringLiteral("asked 退院者情報はありません。");
        QTest::newRow("menu: end") << m << "end" << 0 << "closed";
        QTest::newRow("tool: toolClose") << t << "toolClose" << 0 << "closed";
        QTest::newRow("menu: Bed") << m << "Bed" << 0 << "drag 0";
        QTest::newRow("tool: toolBedMove") << t << "toolBedMove" << 0 << "drag 0";
        QTest::newRow("popup: bed") << p << "bed" << 0 << "drag 0";
        QTest::newRow("menu: Edit") << m << "Edit" << 1 << "window frmKozinInf";
        QTest::newRow("tool: toolHensyu") << t << "toolHensyu" << 1 << "window frmKozinInf";
        QTest::newRow("popup: edit") << p << "edit" << 1 << "window frmKozinInf";
        QTest::newRow("menu: Taiin") << m << "Taiin" << 0 << discharge;
        QTest::newRow("tool: tooltain") << t << "tooltain" << 0 << discharge;
        QTest::newRow("popup: Taiin") << p << "Taiin" << 0 << discharge;
        QTest::newRow("menu: Sai") << m << "Sai" << 1 << readmit;
        QTest::newRow("tool: toolSai") << t << "toolSai" << 1 << readmit;
        QTest::newRow("popup: SaiNyuin") << p << "SaiNyuin" << 1 << readmit;
        QTest::newRow("menu: DataDel") << m << "DataDel" << 0 << erase;
        QTest::newRow("tool: toolDel") << t << "toolDel" << 0 << erase;
        QTest::newRow("popup: Out") << p << "Out" << 0 << erase;
        QTest::newRow("menu: set") << m << "set" << 0 << "room number 101";
        QTest::newRow("tool: toolHouseno") << t << "toolHouseno" << 0 << "room number 101";
        QTest::newRow("popup: no") << p << "no" << 0 << "room number 101";
        QTest::newRow("menu: Col3") << m << "Col3" << 0 << "room colour";
        QTest::newRow("tool: toolHouseCol") << t << "toolHouseCol" << 0 << "room colour";
        QTest::newRow("popup: color") << p << "color" << 0 << "room colour";
        QTest::newRow("menu: setHospitalInfo") << m << "setHospitalInfo" << 0 << "window frmOptions";
        QTest::newRow("tool: toolShisetu") << t << "toolShisetu" << 0 << "window frmOptions";
        QTest::newRow("menu: kangofu") << m << "kangofu" << 0 << "window frmStaffList";
        QTest::newRow("tool: toolStaff") << t << "toolStaff" << 0 << "window frmStaffList";
        QTest::newRow("menu: OptionDlgStart") << m << "OptionDlgStart" << 0 << "window frmOptionDlg";
        QTest::newRow("menu: Backup") << m << "Backup" << 0
                                      << QStringLiteral("asked 全てのデータをバックアップします\rよろしいですか？");
        QTest::newRow("menu: BackupDataDell") << m << "BackupDataDell" << 0 << "window frmBackDel";
        QTest::newRow("menu: help") << m << "help" << 0 << "help";
        QTest::newRow("tool: toolHelp") << t << "toolHelp" << 0 << "help";
        QTest::newRow("menu: white") << m << "white" << 0 << "window frmAbout";
        QTest::newRow("tool: toolVer") << t << "toolVer" << 0 << "window frmAbout";
        QTest::newRow("popup: END") << p << "END" << 0 << "";
    }

    void everySurfaceRunsItsCommand()
    {
        QFETCH(int, surface);
        QFETCH(QString, item);
        QFETCH(int, selected);
        QFETCH(QString, effect);
        tc->prompter.answers = {false}; // No to any question
        WardBoardWindow w(tc->ctx);
        QStringList effects;
        w.setDragRunner([&](QDrag &drag) {
            effects << QStringLiteral("drag ")
                           + QString::fromLatin1(drag.mimeData()->data(WardBoardWindow::BedMimeType));
        });
        w.setRoomDialogs(
            [&](const QString &initial) {
                effects << "room number " + initial;
                return std::optional<QString>();
            },
            [&](int) {
                effects << QStringLiteral("room colour");
                return std::optional<int>();
            });
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.bedFocused(selected);
        onNextModal([&](QWidget *modal) { effects << "window " + modal->objectName(); });

        const BoardOrigin origin = BoardOrigin(surface);
        QAction *a = origin == BoardOrigin::MenuBar   ? w.menuItem(item)
                     : origin == BoardOrigin::Toolbar ? w.toolButton(item)
                                                      : w.popupMenu()->item(item);
        QVERIFY(a);
        QVERIFY(a->isEnabled());
        a->trigger();
        QCoreApplication::processEvents(); // a modal that did not open: its timer goes now

        for (const auto &asked : tc->prompter.asked)
            effects << "asked " + asked.text;
        if (!w.isVisible())
            effects << QStringLiteral("closed");
        if (auto *help = w.findChild<QWidget *>("frmHelp"); help && help->isVisible()) {
            effects << QStringLiteral("help");
            help->close();
        }
        // A window's own messages (a window reading an empty test folder
        // may complain) are its business, not the board's.
        if (effect.startsWith("window "))
            effects = effects.mid(0, 1);
        QCOMPARE(effects, effect.isEmpty() ? QStringList() : QStringList {effect});
    }

    void clickOpensPopupFocusDoesNot()
    {
        WardBoardWindow w(tc->ctx);
        int opened = 0;
        bool editOn = false;
        w.setPopupRunner([&](QMenu &menu, const QPoint &) {
            ++opened;
            editOn = static_cast<BedPopupMenu &>(menu).item("Taiin")->isEnabled();
        });
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        bed(w, 9)->setFocus(Qt::TabFocusReason);
        QCOMPARE(w.controller().selectedBed(), 9);
        QCOMPARE(opened, 0);
        QVERIFY(!w.menuItem("Taiin")->isEnabled());

        QTest::mouseClick(bed(w, 5), Qt::LeftButton);
        QCOMPARE(w.controller().selectedBed(), 5);
        QCOMPARE(opened, 1);
        QVERIFY(editOn); // rights follow the clicked bed before the menu opens

        bed(w, 0)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(bed(w, 0), Qt::Key_Space);
        QCOMPARE(w.controller().selectedBed(), 0);
        QCOMPARE(opened, 2);
    }

    // A shortcut acts only while its command is enabled.
    void shortcutsFollowRights()
    {
        tc->prompter.answers = {false, false};
        WardBoardWindow w(tc->ctx);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        bed(w, 1)->setFocus(Qt::TabFocusReason); // free bed: discharge is off
        QTest::keyClick(&w, Qt::Key_T, Qt::ControlModifier);
        QVERIFY(tc->prompter.asked.isEmpty());

        bed(w, 0)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(&w, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(tc->prompter.texts(), QStringList {dischargeQuestion(QStringLiteral("佐藤"))});
        QCOMPARE(bed(w, 0)->toolTip(), Sato); // answered No
    }

    // A bed move starts a drag that carries the selected bed; dropping it
    // moves the patient. A free bed starts no drag.
    void bedMoveDragsTheSelectedBed()
    {
        WardBoardWindow w(tc->ctx);
        QStringList payloads;
        w.setDragRunner([&](QDrag &drag) {
            const QByteArray bedData = drag.mimeData()->data(WardBoardWindow::BedMimeType);
            payloads << QString::fromLatin1(bedData);
            QCOMPARE(drag.source(), static_cast<QObject *>(bed(w, 5)));
            drop(bed(w, 100), bedData.toInt());
        });
        w.bedFocused(1);
        w.menuItem("Bed")->trigger();
        w.runCommand(BoardCommand::MoveBed, BoardOrigin::MenuBar); // disabled: not even when run directly
        QVERIFY(payloads.isEmpty());

        w.bedFocused(5);
        w.menuItem("Bed")->trigger();
        QCOMPARE(payloads, QStringList {"5"});
        QCOMPARE(bed(w, 100)->toolTip(), Suzuki);
        QCOMPARE(bed(w, 5)->toolTip(), QString());
        QCOMPARE(bedFile(*tc).value(100), Suzuki);
        // The bed just emptied is still selected: no second drag starts.
        w.menuItem("Bed")->trigger();
        QCOMPARE(payloads.size(), 1);
    }

    void snapshotDayIsReadOnly()
    {
        WardBoardWindow w(tc->ctx);
        w.model().setBedEntry(100, Tanaka); // an admission not yet saved
        auto *dates = w.findChild<QComboBox *>("cmbDate");
        dates->setCurrentIndex(1);

        // Leaving today saved it first.
        QCOMPARE(bedFile(*tc).value(100), Tanaka);
        // The past day is unmistakable: its banner and its washed-out rooms.
        auto *banner = w.findChild<QLabel *>("lblSnapshotDay");
        QVERIFY(banner && banner->isVisible() == w.isVisible() && banner->autoFillBackground());
        QCOMPARE(banner->text(), QStringLiteral("令和08年11月01日 の記録（閲覧のみ）"));
        QCOMPARE(w.shownRoomColour(0), mutedRoomColour(colourFromStored(BoardModel::InitialRoomColour)));
        QCOMPARE(w.findChild<QLabel *>("lblOccupancy")->text(), QStringLiteral("入院 1名 / 空床 239床"));
        QCOMPARE(tc->ctx.displayDateIndex, 1);
        QCOMPARE(bed(w, 0)->toolTip(), Tanaka);
        QCOMPARE(w.findChild<QLabel *>("Label1_0")->text(), QStringLiteral("201"));
        w.bedFocused(0);
        QVERIFY(!w.menuItem("Taiin")->isEnabled());
        QVERIFY(!w.toolButton("toolHouseCol")->isEnabled());
        QVERIFY(w.menuItem("Edit")->isEnabled());

        // A drop arriving on a past day changes nothing.
        drop(bed(w, 3), 0);
        QCOMPARE(bed(w, 0)->toolTip(), Tanaka);

        QTest::mouseClick(w.findChild<QPushButton *>("cmdToday"), Qt::LeftButton);
        QCOMPARE(dates->currentIndex(), 0);
        QCOMPARE(tc->ctx.displayDateIndex, 0);
        QCOMPARE(bed(w, 0)->toolTip(), Sato);
        QCOMPARE(bed(w, 100)->toolTip(), Tanaka);
        QVERIFY(w.menuItem("Taiin")->isEnabled());
        QVERIFY(banner->text().isEmpty() && !banner->autoFillBackground());
        QCOMPARE(w.shownRoomColour(0), colourFromStored(BoardModel::InitialRoomColour));
    }

    // Hundreds of snapshot days: the date list holds every one in the
    // order the board keeps, opens on today, is wide enough for its longest
    // date, and the keyboard still picks a past day.
    void longDateListShowsAndSelects()
    {
        const QDate oldest(2025, 6, 1);
        for (int i = 0; i < 500; ++i)
            QVERIFY(QDir().mkpath(tc->path("BackUp/" + getWaDate(tc->ctx, oldest.addDays(i).toString("yyyyMMdd")))));
        WardBoardWindow w(tc->ctx);
        auto *dates = w.findChild<QComboBox *>("cmbDate");
        const QStringList expected = buildDateList(tc->ctx);
        QCOMPARE(expected.size(), 502);
        QStringList shown;
        int widest = 0;
        for (int i = 0; i < dates->count(); ++i) {
            shown << dates->itemText(i);
            widest = qMax(widest, dates->fontMetrics().horizontalAdvance(shown.last()));
        }
        QCOMPARE(shown, expected);
        QCOMPARE(dates->currentIndex(), 0);
        QCOMPARE(dates->currentText(), Today);
        QVERIFY(dates->sizeHint().width() > widest);

        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        dates->setFocus();
        QTest::keyClick(dates, Qt::Key_Down);
        QCOMPARE(dates->currentIndex(), 1);
        QCOMPARE(tc->ctx.displayDateIndex, 1);
        QCOMPARE(w.findChild<QLabel *>("lblSnapshotDay")->text(), expected.at(1) + QStringLiteral(" の記録（閲覧のみ）"));
        // The far end is the day that holds a board: it is the one shown.
        QTest::keyClick(dates, Qt::Key_End);
        QCOMPARE(dates->currentIndex(), 501);
        QCOMPARE(dates->currentText(), PastDay);
        QCOMPARE(tc->ctx.displayDateIndex, 501);
        QCOMPARE(bed(w, 0)->toolTip(), Tanaka);
    }

    // The board grows with its window: maximised on a 1920×1080 screen the
    // names are at least 24 px high; the 30 rooms keep one uniform grid
    // whatever their numbers, a long number elided with its full text in
    // the tooltip; the grid does not move when the date changes.
    void boardScalesWithItsWindow()
    {
        WardBoardWindow w(tc->ctx);
        w.model().setRoomNumber(1, QStringLiteral("１２３４５６７８９０１２３４５６７８９０")); // 20 characters
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(1280, 800);
        QCoreApplication::processEvents();
        const int small = w.bedFontPixels();
        auto geometries = [&] {
            QList<QRect> g;
            for (int room = 0; room < BoardModel::RoomCount; ++room)
                g << w.findChild<QLabel *>(QStringLiteral("Label1_%1").arg(room))->geometry();
            return g;
        };
        const QList<QRect> rooms = geometries();
        for (const QRect &r : rooms) {
            QCOMPARE(r.width(), rooms.first().width());
            QCOMPARE(r.height(), rooms.first().height());
        }
        QCOMPARE(w.findChild<QLabel *>("Label1_1")->toolTip(),
                 QStringLiteral("１２３４５６７８９０１２３４５６７８９０"));
        w.findChild<QComboBox *>("cmbDate")->setCurrentIndex(1);
        QCoreApplication::processEvents();
        QCOMPARE(geometries(), rooms);

        w.resize(1920, 1050); // maximised under a title bar
        QCoreApplication::processEvents();
        QVERIFY2(w.bedFontPixels() >= 24, qPrintable(QString::number(w.bedFontPixels())));
        QVERIFY(w.bedFontPixels() > small);
        QCOMPARE(bed(w, 0)->font().pixelSize(), w.bedFontPixels());
        if (!qEnvironmentVariableIsEmpty("VELTO_SHOTS"))
            w.grab().save(qEnvironmentVariable("VELTO_SHOTS") + "/board-1920.png");
    }

    // The counts follow every change of the board.
    void occupancyFollowsChanges()
    {
        WardBoardWindow w(tc->ctx);
        auto *counts = w.findChild<QLabel *>("lblOccupancy");
        QCOMPARE(counts->text(), QStringLiteral("入院 2名 / 空床 238床")); // an entry without "_" is no patient
        tc->prompter.answers = {true, true};                               // discharge, erase the record
        w.bedFocused(5);
        w.runCommand(BoardCommand::Discharge, BoardOrigin::MenuBar);
        QCOMPARE(counts->text(), QStringLiteral("入院 1名 / 空床 239床"));
    }

    // Names hidden on this screen: a bed shows the family name's first
    // character and "○○", its tooltip nothing; the preference is the
    // screen's own, in [Display].
    void hiddenNamesOnTheBoard()
    {
        tc->settings->setValue("Display", "hide_names", "1");
        WardBoardWindow w(tc->ctx);
        QCOMPARE(bed(w, 0)->text(), QStringLiteral("佐○○"));
        QCOMPARE(bed(w, 0)->toolTip(), QString());
        QCOMPARE(bed(w, 1)->text(), QString());
        tc->settings->setValue("Display", "hide_names", "0");
        w.showAll();
        QCOMPARE(bed(w, 0)->text(), QStringLiteral("佐藤"));
        QCOMPARE(bed(w, 0)->toolTip(), Sato);
    }

    // The wall board: F11 puts it on, it shows without menus or toolbar,
    // clicks and commands do nothing whatever the account, and only the
    // logged-in account's password takes it off (F11 or Escape).
    void wallMode()
    {
        tc->ctx.currentAccount.password = QStringLiteral("secret");
        WardBoardWindow w(tc->ctx);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QList<std::optional<QString>> typed {QStringLiteral("wrong"), std::nullopt, QStringLiteral("secret")};
        int asked = 0;
        w.setWallPasswordAsker([&] {
            ++asked;
            return typed.takeFirst();
        });
        QTest::keyClick(&w, Qt::Key_F11);
        QVERIFY(w.wallMode());
        QVERIFY(w.windowState() & Qt::WindowFullScreen);
        QVERIFY(w.findChild<QMenuBar *>()->isHidden());
        QVERIFY(w.findChild<QToolBar *>("Toolbar1")->isHidden());
        QVERIFY(w.findChild<QComboBox *>("cmbDate")->isHidden());
        QVERIFY(!w.findChild<QLabel *>("lblOccupancy")->isHidden());

        bool menuShown = false;
        w.setPopupRunner([&](QMenu &, const QPoint &) { menuShown = true; });
        QTest::mouseClick(bed(w, 0), Qt::LeftButton);
        QVERIFY(!menuShown);
        tc->prompter.answers = {true, true};
        w.runCommand(BoardCommand::Discharge, BoardOrigin::MenuBar);
        QCOMPARE(bed(w, 0)->text(), QStringLiteral("佐藤"));
        QVERIFY(tc->prompter.asked.isEmpty());

        QTest::keyClick(&w, Qt::Key_Escape); // a wrong password: stays, and says so
        QVERIFY(w.wallMode());
        QCOMPARE(tc->prompter.texts(), QStringList {boardtext::LeaveWallWrong});
        QTest::keyClick(&w, Qt::Key_F11); // cancelled: stays
        QVERIFY(w.wallMode());
        QVERIFY(w.isVisible()); // Escape never closed the board
        QTest::keyClick(&w, Qt::Key_F11);
        QVERIFY(!w.wallMode());
        QCOMPARE(asked, 3);
        QVERIFY(!(w.windowState() & Qt::WindowFullScreen));
        QVERIFY(!w.findChild<QMenuBar *>()->isHidden());
        QVERIFY(!w.findChild<QComboBox *>("cmbDate")->isHidden());
    }

    void dropExchangesBeds()
    {
        WardBoardWindow w(tc->ctx);
        w.bedFocused(5);
        drop(bed(w, 100), 5);
        QCOMPARE(bed(w, 100)->text(), QStringLiteral("鈴木"));
        QCOMPARE(bed(w, 100)->toolTip(), Suzuki);
        QCOMPARE(bed(w, 5)->text(), QString());
        QCOMPARE(w.controller().selectedBed(), 5);
        // Written at once.
        QCOMPARE(bedFile(*tc).value(5), QString());
        QCOMPARE(bedFile(*tc).value(100), Suzuki);

        // Onto an occupied bed: both patients change places.
        w.bedFocused(0);
        drop(bed(w, 100), 0);
        QCOMPARE(bed(w, 100)->toolTip(), Sato);
        QCOMPARE(bed(w, 0)->toolTip(), Suzuki);

        // A drop whose bed is not the one picked up is refused.
        drop(bed(w, 7), 100);
        QCOMPARE(bed(w, 7)->toolTip(), QString());

        const QStringList saved = bedFile(*tc);
        QCOMPARE(saved.value(0), Suzuki);
        QCOMPARE(saved.value(5), QString());
        QCOMPARE(saved.value(100), Sato);
    }

    // Every change made on today's board by a full authority account is
    // written at once, whichever item made it; a restricted account or a
    // past day writes nothing.
    void changesAreWrittenAtOnce_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<bool>("written");
        QTest::newRow("colour, menu bar") << "m:Col3" << 2 << false << true;
        QTest::newRow("colour, toolbar") << "t:toolHouseCol" << 2 << false << true;
        QTest::newRow("colour, popup") << "p:color" << 2 << false << true;
        QTest::newRow("number, menu bar") << "m:set" << 2 << false << true;
        QTest::newRow("number, toolbar") << "t:toolHouseno" << 2 << false << true;
        QTest::newRow("record saved") << "record" << 2 << false << true;
        QTest::newRow("record saved, restricted") << "record" << 1 << false << false;
        QTest::newRow("colour, menu bar, restricted") << "m:Col3" << 1 << false << false;
        QTest::newRow("number, menu bar, past day") << "m:set" << 2 << true << false;
    }
    void changesAreWrittenAtOnce()
    {
        QFETCH(QString, item);
        QFETCH(int, authority);
        QFETCH(bool, snapshot);
        QFETCH(bool, written);
        tc->ctx.currentAccount.authority = static_cast<Authority>(authority);
        const QByteArray before = [&] {
            QFile f(tc->path("DB/" + layoutfile::RoomColours));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        WardBoardWindow w(tc->ctx);
        const int orange = BoardModel::storedColour(255, 128, 0);
        w.setRoomDialogs([](const QString &) { return std::optional<QString>("102"); },
                         [orange](int) { return std::optional<int>(orange); });
        if (snapshot)
            w.findChild<QComboBox *>("cmbDate")->setCurrentIndex(1);
        w.bedFocused(3);
        const QStringList bedsBefore = bedFile(*tc);
        if (item == "record") {
            // Admitted through the real record window: the layout naming the
            // patient is written in the same change as the record.
            w.setPopupRunner([](QMenu &, const QPoint &) {});
            QTimer::singleShot(0, &w, [] {
                auto *rw = qobject_cast<PatientRecordDialog *>(QApplication::activeModalWidget());
                if (!rw)
                    return;
                const QList<QPair<const char *, QString>> values {
                    {"txtNameKanji", QStringLiteral("田中")}, {"txtNameKanji2", QStringLiteral("次郎")},
                    {"cmbYmd1", QStringLiteral("昭和")},      {"cmbYmd2", QStringLiteral("20年")},
                    {"cmbYmd3", QStringLiteral("1月")},       {"cmbYmd4", QStringLiteral("1日")},
                    {"cmbSeibetu", QStringLiteral("男")}};
                for (const auto &v : values) {
                    if (auto *e = rw->findChild<QLineEdit *>(v.first))
                        e->setText(v.second);
                    else if (auto *c = rw->findChild<QComboBox *>(v.first))
                        c->setCurrentText(v.second);
                }
                rw->saveAndClose();
                if (rw->isVisible())
                    rw->cancelAndClose();
            });
            w.bedClicked(3);
            w.popupMenu()->item("edit")->trigger();
        } else {
            const QString name = item.mid(2);
            QAction *a = item.startsWith("m:")   ? w.menuItem(name)
                         : item.startsWith("t:") ? w.toolButton(name)
                                                 : w.popupMenu()->item(name);
            QVERIFY(a);
            a->trigger();
        }

        QStringList numbers, colours;
        QString error;
        QVERIFY(textfile::readLines(tc->path("DB/" + layoutfile::RoomNumbers), &numbers, &error));
        QVERIFY(textfile::readLines(tc->path("DB/" + layoutfile::RoomColours), &colours, &error));
        if (!written) {
            QCOMPARE(bedFile(*tc), bedsBefore);
            QCOMPARE(numbers.value(0), QStringLiteral("101"));
            QFile f(tc->path("DB/" + layoutfile::RoomColours));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), before);
        } else if (item == "record") {
            QCOMPARE(bedFile(*tc).value(3), Tanaka);
            QCOMPARE(bed(w, 3)->text(), QStringLiteral("田中"));
        } else if (item.contains("col", Qt::CaseInsensitive)) {
            QCOMPARE(colours.value(0), QString::number(orange));
        } else {
            QCOMPARE(numbers.value(0), QStringLiteral("102"));
        }
    }

    void roomNumberFromPopupSaves()
    {
        WardBoardWindow w(tc->ctx);
        w.setRoomDialogs(
            [](const QString &initial) -> std::optional<QString> {
                return initial == "101" ? std::optional<QString>(" 102 ") : std::nullopt;
            },
            nullptr);
        w.bedFocused(3);
        w.popupMenu()->item("no")->trigger();
        QCOMPARE(w.findChild<QLabel *>("Label1_0")->text(), QStringLiteral(" 102 "));
        QStringList numbers;
        QString error;
        QVERIFY(textfile::readLines(tc->path("DB/" + layoutfile::RoomNumbers), &numbers, &error));
        QCOMPARE(numbers.value(0), QStringLiteral(" 102 "));
    }

    // The real room number dialog refuses, on OK, a number the layout file
    // cannot hold: the message names the field and each character by its
    // code point, the dialog stays with the typing and the focus, and the
    // board and its files keep the old number.
    void roomNumberDialogRefusesUnholdable_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("offenders"); // empty: accepted
        QTest::newRow("accent") << QStringLiteral("Café") << QStringLiteral("é（U+00E9）");
        QTest::newRow("beyond 16 bits") << QStringLiteral("𠮷101") << QStringLiteral("𠮷（U+20BB7）");
        QTest::newRow("circled digit is held") << QStringLiteral("①号") << QString();
    }
    void roomNumberDialogRefusesUnholdable()
    {
        QFETCH(QString, typed);
        QFETCH(QString, offenders);
        WardBoardWindow w(tc->ctx);
        w.bedFocused(3);
        bool stayedOpen = false;
        QString dialogName, title, initialText, textAfter;
        bool focusOnBox = false;
        QTimer::singleShot(0, [&] {
            QWidget *dlg = QApplication::activeModalWidget();
            dialogName = dlg ? dlg->objectName() : QString();
            auto *box = dlg ? dlg->findChild<QLineEdit *>("txtRoomNo") : nullptr;
            if (!box)
                return;
            title = dlg->windowTitle();
            initialText = box->selectedText(); // the room's number, selected to be typed over
            box->setText(typed);
            auto *ok = dlg->findChild<QPushButton *>("Command1");
            ok->setFocus(); // as a mouse press on OK would
            ok->click();
            stayedOpen = dlg->isVisible();
            if (stayedOpen) {
                textAfter = box->text();
                focusOnBox = dlg->focusWidget() == box;
                dlg->findChild<QPushButton *>("Command2")->click();
            }
        });
        w.menuItem("set")->trigger();
        QCOMPARE(dialogName, QStringLiteral("frmSet"));
        QCOMPARE(title, QStringLiteral("部屋番号設定"));
        QCOMPARE(initialText, QStringLiteral("101"));

        QStringList numbers;
        QString error;
        QVERIFY(textfile::readLines(tc->path("DB/" + layoutfile::RoomNumbers), &numbers, &error));
        if (offenders.isEmpty()) {
            QVERIFY(!stayedOpen);
            QVERIFY(tc->prompter.asked.isEmpty());
            QCOMPARE(w.findChild<QLabel *>("Label1_0")->text(), typed);
            QCOMPARE(numbers.value(0), typed);
            return;
        }
        QVERIFY(stayedOpen);
        QCOMPARE(textAfter, typed);
        QVERIFY(focusOnBox);
        QCOMPARE(tc->prompter.texts(), QStringList {"部屋番号に保存できない文字があります。\r次の文字は保存できません："
                                                    + offenders + "\r別の文字に置き換えてから保存してください。"});
        QCOMPARE(w.findChild<QLabel *>("Label1_0")->text(), QStringLiteral("101"));
        QCOMPARE(numbers.value(0), QStringLiteral("101"));
    }

    // The room number dialog on its own: its texts, its limit, and what OK
    // and Cancel give back.
    void roomNumberDialog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        QTest::newRow("OK keeps spaces") << " 102 "
                                         << "Command1" << int(QDialog::Accepted) << " 102 ";
        QTest::newRow("OK with nothing typed") << ""
                                               << "Command1" << int(QDialog::Accepted) << "";
        QTest::newRow("longer than 20 is cut")
            << QString(25, QLatin1Char('9')) << "Command1" << int(QDialog::Accepted) << QString(20, QLatin1Char('9'));
        QTest::newRow("Cancel") << "102"
                                << "Command2" << int(QDialog::Rejected) << "102";
    }
    void roomNumberDialog()
    {
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(int, result);
        QFETCH(QString, text);
        RoomNumberEditDialog dialog(QStringLiteral("101"), tc->prompter);
        QCOMPARE(dialog.objectName(), QStringLiteral("frmSet"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("部屋番号設定"));
        QCOMPARE(dialog.findChild<QLabel *>("Label1")->text(), QStringLiteral("部屋番号を設定してください"));
        auto *ok = dialog.findChild<QPushButton *>("Command1");
        auto *cancel = dialog.findChild<QPushButton *>("Command2");
        QCOMPARE(ok->text(), QStringLiteral("OK(&O)"));
        QCOMPARE(ok->toolTip(), QStringLiteral("設定して終了します"));
        QVERIFY(ok->isDefault());
        QCOMPARE(cancel->text(), QStringLiteral("ｷｬﾝｾﾙ(&C)"));
        QCOMPARE(cancel->toolTip(), QStringLiteral("設定せず終了します"));
        auto *box = dialog.findChild<QLineEdit *>("txtRoomNo");
        QCOMPARE(box->text(), QStringLiteral("101"));
        QCOMPARE(box->selectedText(), QStringLiteral("101"));

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        box->setFocus();
        box->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClicks(box, typed);
        QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(dialog.result(), result);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.text(), text);
        QVERIFY(tc->prompter.asked.isEmpty());
    }

    void closing_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<int>("backupOnOff");
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("backedUp");
        QTest::newRow("full, backup on") << 2 << 1 << false << true << true;
        QTest::newRow("full, backup on, past day") << 2 << 1 << true << false << true;
        QTest::newRow("full, backup off") << 2 << 0 << false << true << false;
        QTest::newRow("restricted, backup on") << 1 << 1 << false << false << false;
    }

    void closing()
    {
        QFETCH(int, authority);
        QFETCH(int, backupOnOff);
        QFETCH(bool, snapshot);
        QFETCH(bool, written);
        QFETCH(bool, backedUp);
        tc->ctx.currentAccount.authority = static_cast<Authority>(authority);
        tc->ctx.optionValues.backupOnOff = backupOnOff;
        WardBoardWindow w(tc->ctx);
        if (snapshot) {
            w.findChild<QComboBox *>("cmbDate")->setCurrentIndex(1);
            w.model().setBedEntry(2, Tanaka); // must never reach today's files
        }
        w.model().setBedEntry(1, Tanaka);
        w.show();
        w.close();
        QCOMPARE(bedFile(*tc).value(1) == Tanaka, written);
        QCOMPARE(bedFile(*tc).value(2), QString());
        // Today's snapshot, copied after the layout was written.
        const QString snapshotFile = tc->path("BackUp/" + Today + "/" + layoutfile::Beds);
        QCOMPARE(QFile::exists(snapshotFile), backedUp);
        if (backedUp) {
            QStringList copied;
            QString error;
            QVERIFY(textfile::readLines(snapshotFile, &copied, &error));
            QCOMPARE(copied.value(1) == Tanaka, written);
        }
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(TestBoard)
#include "tst_board.moc"

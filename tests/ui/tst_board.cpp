#include <QtTest>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

#include <QLineEdit>
#include <QTimer>

#include "board/wardlayout.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "ui/patientrecorddialog.h"
#include "core/textfile.h"
#include "support/patients.h"
#include "support/testcontext.h"
#include "ui/wardboardwindow.h"
#include "ui/popupmenu.h"

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
} // namespace

class TestBoard : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> tc;

    // The enabled state of a probe: "m:" menu bar, "t:" toolbar, "p:" popup.
    static bool enabled(WardBoardWindow &w, const QString &probe)
    {
        const QString name = probe.mid(2);
        QAction *a = probe.startsWith("m:") ? w.menuItem(name)
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
        tc->ctx.currentAccount.authority = 2;
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
            for (const char *probe : {"m:Bed", "m:Taiin", "m:DataDel", "m:set", "m:Col3", "p:bed", "p:Out", "t:tooltain"})
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

    // A renamed patient whose layout cannot be saved: the old record stays,
    // the bed still names it, and the window keeps what was typed.
    void renameThatCannotSaveTheLayoutKeepsTheRecord()
    {
        tc->ctx.currentAccount = {QStringLiteral("nurse"), 2, QStringLiteral("看護師"), QString()};
        {
            PatientRecord r = newPatientRecord();
            r.setValue(recordkey::FamilyName, QStringLiteral("佐藤"));
            r.setValue(recordkey::GivenName, QStringLiteral("一郎"));
            r.setValue(recordkey::Era, QStringLiteral("昭和"));
            r.setValue(recordkey::Year, QStringLiteral("10年"));
            r.setValue(recordkey::Month, QStringLiteral("5月"));
            r.setValue(recordkey::Day, QStringLiteral("3日"));
            r.setValue(QStringLiteral("005"), QStringLiteral("男"));
            QVERIFY(writePatientFile(tc->ctx, tc->path("DB/" + Sato), r));
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
        QVERIFY(!menu->grab().isNull());
        menu->hide();
    }

    void rights_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("on");
        // Probes: the menu bar's Bed, Edit, Taiin, Sai, set, Backup, end;
        // toolbar toolHensyu, toolSai, toolClose; popup edit, SaiNyuin, no, END.
        QTest::newRow("full, today, occupied") << 2 << false << 0
            << QStringList{"m:Bed", "m:Edit", "m:Taiin", "m:set", "m:Backup", "m:end", "t:toolHensyu",
                           "t:toolClose", "p:edit", "p:no", "p:END"};
        QTest::newRow("full, today, free") << 2 << false << 1
            << QStringList{"m:Edit", "m:Sai", "m:set", "m:Backup", "m:end", "t:toolHensyu", "t:toolSai",
                           "t:toolClose", "p:edit", "p:SaiNyuin", "p:no", "p:END"};
        QTest::newRow("restricted, today, occupied") << 1 << false << 0
            << QStringList{"m:Edit", "m:end", "t:toolHensyu", "t:toolClose", "p:edit", "p:END"};
        QTest::newRow("restricted, today, free") << 1 << false << 1
            << QStringList{"m:end", "t:toolClose", "p:END"};
        QTest::newRow("full, snapshot, occupied") << 2 << true << 0
            << QStringList{"m:Edit", "m:end", "t:toolHensyu", "t:toolClose", "p:edit", "p:END"};
    }

    void rights()
    {
        QFETCH(int, authority);
        QFETCH(bool, snapshot);
        QFETCH(int, selected);
        QFETCH(QStringList, on);
        tc->ctx.currentAccount.authority = authority;
        WardBoardWindow w(tc->ctx);
        if (snapshot)
            w.findChild<QComboBox *>("cmbDate")->setCurrentIndex(1);
        w.bedFocused(selected);
        const QStringList probes{"m:Bed", "m:Edit", "m:Taiin", "m:Sai", "m:set", "m:Backup", "m:end",
                                 "t:toolHensyu", "t:toolSai", "t:toolClose",
                                 "p:edit", "p:SaiNyuin", "p:no", "p:END"};
        for (const QString &p : probes)
            QVERIFY2(enabled(w, p) == on.contains(p), qPrintable(p));
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
        QCOMPARE(tc->ctx.selectedBed, 9);
        QCOMPARE(opened, 0);
        QVERIFY(!w.menuItem("Taiin")->isEnabled());

        QTest::mouseClick(bed(w, 5), Qt::LeftButton);
        QCOMPARE(tc->ctx.selectedBed, 5);
        QCOMPARE(opened, 1);
        QVERIFY(editOn); // rights follow the clicked bed before the menu opens

        bed(w, 0)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(bed(w, 0), Qt::Key_Space);
        QCOMPARE(tc->ctx.selectedBed, 0);
        QCOMPARE(opened, 2);
    }

    void shortcutsFollowRights()
    {
        QList<BoardOrigin> discharged;
        BoardActions actions;
        actions.discharge = [&](WardBoardWindow &, BoardOrigin origin) { discharged << origin; };
        WardBoardWindow w(tc->ctx, actions);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        bed(w, 1)->setFocus(Qt::TabFocusReason); // free bed: discharge is off
        QTest::keyClick(&w, Qt::Key_T, Qt::ControlModifier);
        QVERIFY(discharged.isEmpty());

        bed(w, 0)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(&w, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(discharged, QList<BoardOrigin>{BoardOrigin::MenuBar});
        w.popupMenu()->item("Taiin")->trigger();
        w.toolButton("tooltain")->trigger();
        QCOMPARE(discharged, (QList<BoardOrigin>{BoardOrigin::MenuBar, BoardOrigin::PopupMenu,
                                                 BoardOrigin::Toolbar}));
    }

    void snapshotDayIsReadOnly()
    {
        WardBoardWindow w(tc->ctx);
        w.model().setBedEntry(100, Tanaka); // an admission not yet saved
        auto *dates = w.findChild<QComboBox *>("cmbDate");
        dates->setCurrentIndex(1);

        // Leaving today saved it first.
        QCOMPARE(bedFile(*tc).value(100), Tanaka);
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
    }

    void dropExchangesBeds()
    {
        WardBoardWindow w(tc->ctx);
        w.bedFocused(5);
        drop(bed(w, 100), 5);
        QCOMPARE(bed(w, 100)->text(), QStringLiteral("鈴木"));
        QCOMPARE(bed(w, 100)->toolTip(), Suzuki);
        QCOMPARE(bed(w, 5)->text(), QString());
        QCOMPARE(tc->ctx.selectedBed, 5);
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
        tc->ctx.currentAccount.authority = authority;
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
                const QList<QPair<const char *, QString>> values{
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
            QAction *a = item.startsWith("m:") ? w.menuItem(name)
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
        w.setRoomDialogs([](const QString &initial) -> std::optional<QString> {
            return initial == "101" ? std::optional<QString>(" 102 ") : std::nullopt;
        }, nullptr);
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
        QString dialogName, textAfter;
        bool focusOnBox = false;
        QTimer::singleShot(0, [&] {
            QWidget *dlg = QApplication::activeModalWidget();
            dialogName = dlg ? dlg->objectName() : QString();
            auto *box = dlg ? dlg->findChild<QLineEdit *>("txtRoomNo") : nullptr;
            if (!box)
                return;
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
        QCOMPARE(tc->prompter.texts(),
                 QStringList{"部屋番号に保存できない文字があります。\r次の文字は保存できません：" + offenders
                             + "\r別の文字に置き換えてから保存してください。"});
        QCOMPARE(w.findChild<QLabel *>("Label1_0")->text(), QStringLiteral("101"));
        QCOMPARE(numbers.value(0), QStringLiteral("101"));
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
        tc->ctx.currentAccount.authority = authority;
        tc->ctx.optionValues.backupOnOff = backupOnOff;
        int backups = 0;
        BoardActions actions;
        actions.autoBackup = [&](WardBoardWindow &) {
            // The layout is on disk before the snapshot copies it.
            QCOMPARE(bedFile(*tc).value(1) == Tanaka, written);
            ++backups;
        };
        WardBoardWindow w(tc->ctx, actions);
        if (snapshot) {
            w.findChild<QComboBox *>("cmbDate")->setCurrentIndex(1);
            w.model().setBedEntry(2, Tanaka); // must never reach today's files
        }
        w.model().setBedEntry(1, Tanaka);
        w.show();
        w.close();
        QCOMPARE(bedFile(*tc).value(1) == Tanaka, written);
        QCOMPARE(bedFile(*tc).value(2), QString());
        QCOMPARE(backups, backedUp ? 1 : 0);
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(TestBoard)
#include "tst_board.moc"

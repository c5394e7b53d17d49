#include <QtTest>

#include "board/boardmodel.h"
#include "board/boardrights.h"
#include "board/boardtexts.h"
#include "support/testcontext.h"

using namespace velto;

namespace {

QStringList enabledOf(const QMap<QString, bool> &items)
{
    QStringList on;
    for (auto it = items.cbegin(); it != items.cend(); ++it)
        if (it.value())
            on << it.key();
    on.sort();
    return on;
}

QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}

const QStringList AlwaysMenu{"end",       "setHospitalInfo", "kangofu",   "BackupDataDell",
                             "help",      "white",           "toolClose", "toolShisetu",
                             "toolStaff", "toolVer",         "toolHelp"};
const QStringList AllMenu = AlwaysMenu
    + QStringList{"Bed",  "toolBedMove", "Edit",        "toolHensyu", "Taiin",  "tooltain",
                  "Sai",  "toolSai",     "DataDel",     "toolDel",    "set",    "toolHouseno",
                  "Col3", "toolHouseCol", "Backup",     "OptionDlgStart"};
const QStringList AllPopup{"bed", "edit", "Taiin", "SaiNyuin", "Out", "no", "color", "END"};

} // namespace

class TestBoardRights : public QObject {
    Q_OBJECT

private slots:
    void rights_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("today");
        QTest::addColumn<bool>("occupied");
        QTest::addColumn<QStringList>("menuOn");  // besides the always-enabled ones
        QTest::addColumn<QStringList>("popupOn"); // besides END

        const QStringList viewOnlyMenu{"Edit", "toolHensyu"};
        const QStringList roomItems{"set", "toolHouseno", "Col3", "toolHouseCol", "Backup",
                                    "OptionDlgStart"};
        QTest::newRow("full, today, occupied")
            << 2 << true << true
            << QStringList{"Bed", "toolBedMove", "Edit", "toolHensyu", "Taiin", "tooltain",
                           "DataDel", "toolDel"} + roomItems
            << QStringList{"bed", "edit", "Taiin", "Out", "no", "color"};
        QTest::newRow("full, today, free")
            << 2 << true << false
            << QStringList{"Edit", "toolHensyu", "Sai", "toolSai"} + roomItems
            << QStringList{"edit", "SaiNyuin", "no", "color"};
        QTest::newRow("full, snapshot, occupied") << 2 << false << true << viewOnlyMenu
                                                  << QStringList{"edit"};
        QTest::newRow("full, snapshot, free") << 2 << false << false << QStringList()
                                              << QStringList();
        QTest::newRow("restricted, today, occupied") << 1 << true << true << viewOnlyMenu
                                                     << QStringList{"edit"};
        QTest::newRow("restricted, today, free") << 1 << true << false << QStringList()
                                                 << QStringList();
        QTest::newRow("restricted, snapshot, occupied") << 1 << false << true << viewOnlyMenu
                                                        << QStringList{"edit"};
    }
    void rights()
    {
        QFETCH(int, authority);
        QFETCH(bool, today);
        QFETCH(bool, occupied);
        QFETCH(QStringList, menuOn);
        QFETCH(QStringList, popupOn);

        const QMap<QString, bool> menu = rights::menuBarStates(authority, today, occupied);
        QCOMPARE(sorted(menu.keys()), sorted(AllMenu));
        QCOMPARE(enabledOf(menu), sorted(AlwaysMenu + menuOn));

        const QMap<QString, bool> popup = rights::bedMenuStates(authority, today, occupied);
        QCOMPARE(sorted(popup.keys()), sorted(AllPopup));
        QCOMPARE(enabledOf(popup), sorted(popupOn << "END"));
    }

    // Every item the window builds has a rule, and every rule an item: a
    // misspelt name would leave an item enabled for everyone.
    void everyItemHasARule()
    {
        QStringList menu, popup;
        for (const auto &item : boardtext::MenuItems)
            if (*item.caption)
                menu << QString::fromLatin1(item.name);
        for (const auto &button : boardtext::ToolButtons)
            menu << QString::fromLatin1(button.key);
        for (const auto &item : boardtext::PopupItems)
            if (*item.caption)
                popup << QString::fromLatin1(item.name);
        QCOMPARE(sorted(menu), sorted(rights::menuBarStates(2, true, true).keys()));
        QCOMPARE(sorted(popup), sorted(rights::bedMenuStates(2, true, true).keys()));
    }

    // The run's values: a bed whose entry has no "_" shows nothing and
    // counts as free; a snapshot index counts as not today.
    void fromContext_data()
    {
        QTest::addColumn<int>("dateIndex");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("taiin");
        QTest::addColumn<bool>("sai");
        QTest::newRow("occupied") << 0 << QStringLiteral("佐藤_一郎_昭和10年5月3日") << true << false;
        QTest::newRow("entry without _") << 0 << QStringLiteral("NOUNDERSCORE") << false << true;
        QTest::newRow("snapshot") << 1 << QStringLiteral("佐藤_一郎_昭和10年5月3日") << false << false;
    }
    void fromContext()
    {
        QFETCH(int, dateIndex);
        QFETCH(QString, entry);
        QFETCH(bool, taiin);
        QFETCH(bool, sai);
        test::TestContext tc;
        tc.ctx.currentAccount.authority = 2;
        tc.ctx.displayDateIndex = dateIndex;
        tc.ctx.selectedBed = 17;
        BoardModel m;
        m.setBedEntry(17, entry);
        QCOMPARE(rights::menuBarStates(tc.ctx, m).value("Taiin"), taiin);
        QCOMPARE(rights::menuBarStates(tc.ctx, m).value("Sai"), sai);
        QCOMPARE(rights::bedMenuStates(tc.ctx, m).value("Taiin"), taiin);
        QCOMPARE(rights::bedMenuStates(tc.ctx, m).value("SaiNyuin"), sai);
    }
};

QTEST_GUILESS_MAIN(TestBoardRights)
#include "tst_boardrights.moc"

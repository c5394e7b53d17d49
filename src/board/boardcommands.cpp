#include "boardcommands.h"

#include <algorithm>

#include "boardmodel.h"

namespace velto {

namespace {

CommandPlacement onMenuBar(int position, const char *menu, const char *name, const char *caption,
                           const char *shortcut = "", const char *separatorBefore = "")
{
    CommandPlacement p;
    p.position = position;
    p.menu = menu;
    p.objectName = name;
    p.caption = caption;
    p.shortcut = shortcut;
    p.separatorBefore = separatorBefore;
    return p;
}

CommandPlacement onToolbar(int position, int group, const char *name, const char *tooltip)
{
    CommandPlacement p;
    p.position = position;
    p.group = group;
    p.objectName = name;
    p.caption = tooltip;
    return p;
}

// The bed menu's captions start with one space.
CommandPlacement onBedMenu(int position, const char *name, const char *caption, const char *shortcut, const char *icon,
                           const char *separatorBefore = "")
{
    CommandPlacement p;
    p.position = position;
    p.objectName = name;
    p.caption = caption;
    p.shortcut = shortcut;
    p.icon = icon;
    p.separatorBefore = separatorBefore;
    return p;
}

const CommandPlacement nowhere;

// "EditRecord" admits into a free bed, or opens an occupied bed's record
// (read-only without the right to change).
QList<BoardCommandRow> makeTable()
{
    using C = BoardCommand;
    using R = EnableRule;
    // One row per command, laid out by hand.
    // clang-format off
    return {
        {C::Close, R::Always, onMenuBar(0, "File", "end", "Veltoの終了(&X)", "Ctrl+X"),
         onToolbar(0, 1, "toolClose", "Veltoを終了します"), nowhere},
        {C::MoveBed, R::EditableOccupied, onMenuBar(1, "Edit2", "Bed", "ベッド移動(&M)"),
         onToolbar(1, 2, "toolBedMove", "ベッド移動をします"),
         onBedMenu(0, "bed", " ベット移動(&M)", "", "car.ico")},
        {C::EditRecord, R::EditableOrOccupied,
         onMenuBar(2, "Edit2", "Edit", "患者情報編集(&E)...", "Ctrl+E", "Sep3"),
         onToolbar(2, 2, "toolHensyu", "患者情報を編集します"),
         onBedMenu(1, "edit", " 患者情報編集(&E)...", "Ctrl+E", "edit.ico", "Sep")},
        {C::Discharge, R::EditableOccupied, onMenuBar(3, "Edit2", "Taiin", "退院(&T)", "Ctrl+T"),
         onToolbar(3, 2, "tooltain", "退院させます"),
         onBedMenu(2, "Taiin", " 退院(&T)", "Ctrl+T", "Taiin.ico")},
        {C::Readmit, R::EditableFree, onMenuBar(4, "Edit2", "Sai", "再入院(&R)", "Ctrl+R"),
         onToolbar(4, 2, "toolSai", "再入院させます"),
         onBedMenu(3, "SaiNyuin", " 再入院(&R)", "Ctrl+R", "ban.ico")},
        {C::Erase, R::EditableOccupied, onMenuBar(5, "Edit2", "DataDel", "データ消去(&D)", "Del"),
         onToolbar(5, 2, "toolDel", "データを消去します"),
         onBedMenu(4, "Out", " データ消去(&D)", "Del", "Delete.ico")},
        {C::RoomNumber, R::Editable, onMenuBar(6, "Edit2", "set", "部屋番号設定(&N)...", "Ctrl+N", "Sep4"),
         onToolbar(6, 3, "toolHouseno", "部屋番号を設定します"),
         onBedMenu(5, "no", " 部屋番号設定(&N)...", "Ctrl+N", "no1.ico", "sep2")},
        {C::RoomColour, R::Editable, onMenuBar(7, "Edit2", "Col3", "部屋の色設定(&C)...", "Ctrl+C"),
         onToolbar(7, 3, "toolHouseCol", "部屋の色を設定します"),
         onBedMenu(6, "color", " 部屋の色設定(&C)...", "Ctrl+C", "pal.ico")},
        {C::Facility, R::Always, onMenuBar(8, "Tool", "setHospitalInfo", "施設情報設定(&H)..."),
         onToolbar(8, 4, "toolShisetu", "施設情報を設定します"), nowhere},
        {C::Staff, R::Always, onMenuBar(9, "Tool", "kangofu", "スタッフ情報設定(&N)..."),
         onToolbar(9, 4, "toolStaff", "スタッフ情報を設定します"), nowhere},
        {C::Options, R::Writer, onMenuBar(10, "Tool", "OptionDlgStart", "ｵﾌﾟｼｮﾝ(&O)...", "", "Sep212"),
         nowhere, nowhere},
        {C::Backup, R::Writer, onMenuBar(11, "Data", "Backup", "ﾊﾞｯｸｱｯﾌﾟ(&B)...", "Ctrl+B"), nowhere,
         nowhere},
        {C::DeleteBackups, R::Always,
         onMenuBar(12, "Data", "BackupDataDell", "ﾊﾞｯｸｱｯﾌﾟﾃﾞｰﾀ削除(&D)...", "Ctrl+D"), nowhere, nowhere},
        // Reading the history and the statistics changes nothing: every
        // account, on every day shown.
        {C::History, R::Always, onMenuBar(13, "Data", "History", "履歴(&H)...", "", "SepHistory"), nowhere,
         nowhere},
        {C::Statistics, R::Always, onMenuBar(14, "Data", "Statistics", "病棟統計(&S)..."), nowhere, nowhere},
        {C::Help, R::Always, onMenuBar(15, "other", "help", "Veltoのヘルプ(&H)...", "F1"),
         onToolbar(11, 5, "toolHelp", "ヘルプを表示します"), nowhere},
        {C::About, R::Always, onMenuBar(16, "other", "white", "Veltoについて(&N)..."),
         onToolbar(10, 5, "toolVer", "バージョン情報を表示します"), nowhere},
        {C::WallMode, R::Always, onMenuBar(17, "other", "wallMode", "壁掛け表示(&W)", "F11", "SepWall"), nowhere,
         nowhere},
        {C::DismissMenu, R::Always, nowhere, nowhere,
         onBedMenu(7, "END", " 操作取り消し(&O)", "Ctrl+O", "Cancel.ico", "Sep3")},
    };
    // clang-format on
}

} // namespace

const QList<BoardCommandRow> &boardCommands()
{
    static const QList<BoardCommandRow> table = makeTable();
    return table;
}

const BoardCommandRow &commandRow(BoardCommand command)
{
    const QList<BoardCommandRow> &table = boardCommands();
    const auto it = std::find_if(table.cbegin(), table.cend(),
                                 [command](const BoardCommandRow &r) { return r.command == command; });
    Q_ASSERT(it != table.cend());
    return *it;
}

const CommandPlacement &placement(const BoardCommandRow &row, BoardOrigin surface)
{
    switch (surface) {
    case BoardOrigin::MenuBar:
        return row.menuBar;
    case BoardOrigin::Toolbar:
        return row.toolbar;
    case BoardOrigin::PopupMenu:
        return row.popup;
    }
    return nowhere;
}

QList<BoardCommandRow> commandsOn(BoardOrigin surface)
{
    QList<BoardCommandRow> rows;
    for (const BoardCommandRow &row : boardCommands())
        if (placement(row, surface).shown())
            rows << row;
    std::stable_sort(rows.begin(), rows.end(), [surface](const BoardCommandRow &a, const BoardCommandRow &b) {
        return placement(a, surface).position < placement(b, surface).position;
    });
    return rows;
}

const QList<MenuTitle> &menuBarMenus()
{
    static const QList<MenuTitle> menus {
        {"File", "ﾌｧｲﾙ(&F)"}, {"Edit2", "編集(&E)"}, {"Tool", "ﾂｰﾙ(&T)"}, {"Data", "ﾃﾞｰﾀ(&D)"}, {"other", "その他(&O)"},
    };
    return menus;
}

bool commandEnabled(EnableRule rule, const BoardState &state)
{
    const bool canWrite = !isRestricted(state.authority) && state.today;
    const bool canEdit = canWrite && state.layoutWhole;
    switch (rule) {
    case EnableRule::Always:
        return true;
    case EnableRule::Writer:
        return canWrite;
    case EnableRule::Editable:
        return canEdit;
    case EnableRule::EditableOccupied:
        return canEdit && state.occupied;
    case EnableRule::EditableFree:
        return canEdit && !state.occupied;
    case EnableRule::EditableOrOccupied:
        return canEdit || state.occupied; // admission, or viewing a record
    }
    return false;
}

BoardState boardState(const AppContext &ctx, const BoardModel &model, int selectedBed)
{
    BoardState s;
    s.authority = ctx.currentAccount.authority;
    s.today = ctx.displayDateIndex == 0;
    // Nothing is written while the ward's server cannot be reached either.
    s.layoutWhole = ctx.layoutFault.isEmpty() && ctx.storeFault.isEmpty();
    s.occupied = model.isOccupied(selectedBed);
    return s;
}

} // namespace velto

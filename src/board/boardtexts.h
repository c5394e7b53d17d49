#pragma once
// The board window's own texts: menu items, popup items and toolbar buttons
// in display order. An empty caption is a separator.
#include <QString>

namespace velto::boardtext {

inline const QString WindowCaption = QStringLiteral("Velto");             // frmRoom
inline const QString DateLabel = QStringLiteral("表示日");                 // Label2
inline const QString TodayButton = QStringLiteral("今日");                 // cmdToday
inline const QString TodayButtonTip = QStringLiteral("今日のデータを表示します");
inline const QString PopupWindowCaption = QStringLiteral("Hospital Room Setup"); // frmMOUSE_MENU

struct MenuEntry {
    const char *menu;     // name of the menu holding the item
    const char *name;     // objectName
    const char *caption;  // UTF-8
    const char *shortcut; // QKeySequence text, empty for none
};

inline const char *const Menus[][2] = {
    {"File", "ﾌｧｲﾙ(&F)"}, {"Edit2", "編集(&E)"}, {"Tool", "ﾂｰﾙ(&T)"},
    {"Data", "ﾃﾞｰﾀ(&D)"}, {"other", "その他(&O)"},
};

inline const MenuEntry MenuItems[] = {
    {"File", "end", "Veltoの終了(&X)", "Ctrl+X"},
    {"Edit2", "Bed", "ベッド移動(&M)", ""},
    {"Edit2", "Sep3", "", ""},
    {"Edit2", "Edit", "患者情報編集(&E)...", "Ctrl+E"},
    {"Edit2", "Taiin", "退院(&T)", "Ctrl+T"},
    {"Edit2", "Sai", "再入院(&R)", "Ctrl+R"},
    {"Edit2", "DataDel", "データ消去(&D)", "Del"},
    {"Edit2", "Sep4", "", ""},
    {"Edit2", "set", "部屋番号設定(&N)...", "Ctrl+N"},
    {"Edit2", "Col3", "部屋の色設定(&C)...", "Ctrl+C"},
    {"Tool", "setHospitalInfo", "施設情報設定(&H)...", ""},
    {"Tool", "kangofu", "スタッフ情報設定(&N)...", ""},
    {"Tool", "Sep212", "", ""},
    {"Tool", "OptionDlgStart", "ｵﾌﾟｼｮﾝ(&O)...", ""},
    {"Data", "Backup", "ﾊﾞｯｸｱｯﾌﾟ(&B)...", "Ctrl+B"},
    {"Data", "BackupDataDell", "ﾊﾞｯｸｱｯﾌﾟﾃﾞｰﾀ削除(&D)...", "Ctrl+D"},
    {"other", "help", "Veltoのヘルプ(&H)...", "F1"},
    {"other", "white", "Veltoについて(&N)...", ""},
};

// Popup menu "aaa" of a bed; the captions start with one space.
inline const MenuEntry PopupItems[] = {
    {"aaa", "bed", " ベット移動(&M)", ""},
    {"aaa", "Sep", "", ""},
    {"aaa", "edit", " 患者情報編集(&E)...", "Ctrl+E"},
    {"aaa", "Taiin", " 退院(&T)", "Ctrl+T"},
    {"aaa", "SaiNyuin", " 再入院(&R)", "Ctrl+R"},
    {"aaa", "Out", " データ消去(&D)", "Del"},
    {"aaa", "sep2", "", ""},
    {"aaa", "no", " 部屋番号設定(&N)...", "Ctrl+N"},
    {"aaa", "color", " 部屋の色設定(&C)...", "Ctrl+C"},
    {"aaa", "Sep3", "", ""},
    {"aaa", "END", " 操作取り消し(&O)", "Ctrl+O"},
};

struct ToolButton {
    int group; // a gap separates the groups
    const char *key;
    const char *tooltip;
};

inline const ToolButton ToolButtons[] = {
    {1, "toolClose", "Veltoを終了します"},
    {2, "toolBedMove", "ベッド移動をします"},
    {2, "toolHensyu", "患者情報を編集します"},
    {2, "tooltain", "退院させます"},
    {2, "toolSai", "再入院させます"},
    {2, "toolDel", "データを消去します"},
    {3, "toolHouseno", "部屋番号を設定します"},
    {3, "toolHouseCol", "部屋の色を設定します"},
    {4, "toolShisetu", "施設情報を設定します"},
    {4, "toolStaff", "スタッフ情報を設定します"},
    {5, "toolVer", "バージョン情報を表示します"},
    {5, "toolHelp", "ヘルプを表示します"},
};

// About box frmAbout.
inline const QString AboutCaption = QStringLiteral("Veltoについて");
inline const QString AboutTitle = QStringLiteral("Velto Ver2.0"); // lblTitle
inline const QString AboutOk = QStringLiteral("OK");              // cmdOK

} // namespace velto::boardtext

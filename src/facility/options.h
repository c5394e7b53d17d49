#pragma once
// The options dialog: automatic backup on/off and the title screen, kept in
// section "Option" of the settings store and in ctx.optionValues.
#include <QString>
#include <optional>

namespace velto {
struct AppContext;

namespace optionstext {
inline const QString caption = QStringLiteral("ｵﾌﾟｼｮﾝ");
inline const QString tabBackup = QStringLiteral(" ﾊﾞｯｸｱｯﾌﾟ");
inline const QString tabMidashi = QStringLiteral(" 見出し");
inline const QString frameBackup = QStringLiteral("設定");
inline const QString frameMidashi = QStringLiteral("初期起動");
inline const QString chkBackOn = QStringLiteral("自動バックアップを行う");
inline const QString chkBackOff = QStringLiteral("自動バックアップを行わない");
inline const QString diskNote = QStringLiteral("※ハードディスクの容量にお気をつけください。");
inline const QString chkMidashi = QStringLiteral("初期起動時に見出しを表示しない");
inline const QString tabDisplay = QStringLiteral(" 表示");
inline const QString frameDisplay = QStringLiteral("この画面");
inline const QString chkHideNames = QStringLiteral("氏名を隠す");
inline const QString hideNamesNote
    = QStringLiteral("ベッドには姓の一文字目と「○○」を表示します。患者情報の画面や印刷は変わりません。");
inline const QString buttonOk = QStringLiteral("OK(&O)");
inline const QString buttonCancel = QStringLiteral("ｷｬﾝｾﾙ(&C)");
inline const QString buttonApply = QStringLiteral("更新(&M)");
} // namespace optionstext

// What the dialog shows; the window mirrors it in its check boxes.
struct OptionsForm {
    bool backOn = true;     // chkBackOn
    bool backOff = false;   // chkBackOff
    bool midashi = false;   // chkMidashi
    bool hideNames = false; // chkHideNames: this screen's own, in [Display]
    QString backupOffTime;  // stored text, written back unchanged
    bool canApply = false;  // cmdApply and cmdOK enabled

    // The two backup boxes act as a pair of choices: never both unchecked.
    void clickBackOn(bool nowChecked)
    {
        backOn = nowChecked;
        backOff = !nowChecked;
    }
    void clickBackOff(bool nowChecked)
    {
        backOff = nowChecked;
        backOn = !nowChecked;
    }
};

// Activation: the boxes from ctx.optionValues, backup_off_time read from the
// store. A stored backup_off_time that is missing or no number is reported
// (the boxes still show); the rights are set in every case.
OptionsForm optionsActivate(AppContext &ctx);

// cmdApply: writes backup_on_off, backup_off_time, midashi_on_off in this
// order and commits; ctx.optionValues takes the new values once they are
// stored. A failed write is shown and false returned (nothing changes).
// When another terminal changed them first, the latest values are loaded
// and, with refreshed, the form to show them.
bool optionsApply(AppContext &ctx, const OptionsForm &form, std::optional<OptionsForm> *refreshed = nullptr);

} // namespace velto

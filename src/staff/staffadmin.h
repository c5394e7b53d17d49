#pragma once
// The working state of the staff windows: the account table with its list
// rows in step, the selected row, the account being worked on, and every
// rule of the staff list, the staff dialog and the password dialog.
#include <functional>

#include "accounts.h"
#include "core/history.h"

namespace velto {

namespace stafftext {
inline QString administrator()
{
    return QStringLiteral("Administrator");
}

// Staff list.
inline QString listCaption()
{
    return QStringLiteral("スタッフ情報設定");
}
inline QString listLabel2()
{
    return QStringLiteral("Veltoのユーザー");
}
inline QString listLabel1()
{
    return QStringLiteral("以下のリストを使って、Veltoを使用するスタッフの参照権を追加、更新、削除を行います。");
}
inline QString columnName()
{
    return QStringLiteral("スタッフ名");
}
inline QString columnAuthority()
{
    return QStringLiteral("権限");
}
inline QString addButton()
{
    return QStringLiteral("追加(&C)");
}
inline QString deleteButton()
{
    return QStringLiteral("削除(&D)");
}
inline QString propertiesButton()
{
    return QStringLiteral("ﾌﾟﾛﾊﾟﾃｨ(&P)");
}
inline QString passButton()
{
    return QStringLiteral("パスワードの設定(&P)");
}
inline QString okButton()
{
    return QStringLiteral("OK(&O)");
}
inline QString cancelButton()
{
    return QStringLiteral("ｷｬﾝｾﾙ(&C)");
}
inline QString applyButton()
{
    return QStringLiteral("適用(&A)");
}

// Staff dialog.
inline QString tabGeneral()
{
    return QStringLiteral("全般");
}
inline QString tabAuthority()
{
    return QStringLiteral("権限");
}
inline QString loginIdLabel()
{
    return QStringLiteral("ログインID");
}
inline QString staffNameLabel()
{
    return QStringLiteral("看護師名");
}
inline QString generalHint()
{
    return QStringLiteral("ログインIDは、２０文字以内で入力（英数字）してください。"
                          "看護師名には、使用するスタッフの氏名（漢字）等わかりやすい名前をお勧めします。");
}
inline QString newStaffCaption()
{
    return QStringLiteral("新しいスタッフの設定");
}
inline QString nextButton()
{
    return QStringLiteral("次へ >> ");
}

// Password dialog.
inline QString newPasswordLabel()
{
    return QStringLiteral("新しいパスワード");
}
inline QString confirmPasswordLabel()
{
    return QStringLiteral("新しいパスワードの確認入力");
}
inline QString passwordTooltip()
{
    return QStringLiteral("１０文字以内で入力してください");
}

// Messages.
inline QString adminForbidden()
{
    return QStringLiteral("Administratorへの操作は禁止しております。");
}
inline QString loginIdEmpty()
{
    return QStringLiteral("ログインIDが入力されていません。");
}
inline QString staffNameEmpty()
{
    return QStringLiteral("看護師名が入力されていません。");
}
inline QString noAuthority()
{
    return QStringLiteral("権限タブをクリックして、権限を設定してください。");
}
inline QString loginIdComma()
{
    return QStringLiteral("ログインIDに「,」（カンマ）は使用できません。");
}
inline QString staffNameComma()
{
    return QStringLiteral("看護師名に「,」（カンマ）は使用できません。");
}
inline QString loginIdTaken()
{
    return QStringLiteral("すでにスタッフ（ユーザー）が存在します。追加する場合は、スタッフ名を変更してください。");
}
inline QString passwordMismatch()
{
    return QStringLiteral("パスワードが一致しません。入れなおしてください。");
}
inline QString doNotDelete(const QString &id)
{
    return id + QStringLiteral("は削除しないでください。");
}
inline QString confirmDelete(const QString &id)
{
    return id + QStringLiteral("を削除します。よろしいですか？");
}
} // namespace stafftext

// Limits of the entry boxes.
constexpr int kLoginIdMaxLength = 20;
constexpr int kStaffNameMaxLength = 20;
constexpr int kPasswordMaxLength = 10;

// One list row as shown: the login ID and the authority icon and caption.
struct StaffRow {
    QString loginId;
    Authority authority = Authority::Full; // anything but restricted is shown as full
    QString caption;
};

// What the staff list enables when it is activated.
struct StaffListRights {
    bool list = true;
    bool add = false;
    bool properties = true;
    bool del = false;
    bool pass = false;
    bool ok = true;
    bool apply = true;
};

// The password frame for the selected row.
struct PasswordFrame {
    QString caption;
    QString hint;
    bool passEnabled = false;
    bool delEnabled = false;
};

// What the staff dialog shows when it is activated.
struct StaffDialogState {
    bool valid = true; // false: the account could not be read; the dialog closes
    QString caption;
    QString okCaption;
    QString loginId;
    QString staffName;
    Authority checkedAuthority = Authority::None; // None: neither choice
    bool userEnabled = true;
    bool nameEnabled = true;
    bool option1Enabled = true;
    bool option2Enabled = true;
    bool okEnabled = true;
};

namespace stafftext {
// The history's details of staff changes; a password is named, never shown.
inline const QString HistoryAdded = QStringLiteral("追加 %1（%2）");
inline const QString HistoryRemoved = QStringLiteral("削除 %1（%2）");
inline const QString HistoryChanged = QStringLiteral("変更 %1（%2）: %3");
inline const QString HistoryName = QStringLiteral("スタッフ名");
inline const QString HistoryAuthority = QStringLiteral("権限");
inline const QString HistoryPassword = QStringLiteral("パスワード");
// The accounts were saved; their history event was not.
inline const QString HistoryNotRecorded = QStringLiteral("スタッフ情報は保存しましたが、履歴に記録できませんでした。");
} // namespace stafftext

// The history's events between two versions of the section "Pass" (its
// lines): each account added, removed or changed, by login ID.
QList<HistoryEvent> staffChangeEvents(const AppContext &ctx, const QStringList &before, const QStringList &after);

// The staff dialog's boxes and choices as the user left them.
struct StaffEntry {
    QString loginId;
    QString staffName;
    Authority authority = Authority::None; // None: neither choice
};

// Outcome of the staff dialog's OK.
struct StaffOkResult {
    bool close = false;
    QString focusControl; // "txtUser", "txtName" or "SSTab1" when the dialog stays
};

class StaffAdmin {
public:
    enum DialogMode { AddMode = 0, PropertiesMode = 1 };

    explicit StaffAdmin(AppContext &ctx);

    AppContext &context() { return m_ctx; }

    // Reads the accounts afresh (busy pointer); selects the first row.
    void load();

    const AccountTable &table() const { return m_table; }
    int rowCount() const { return m_table.count(); }
    StaffRow row(int index) const; // 0-based

    int selectedRow() const { return m_selected; } // -1: none
    void setSelectedRow(int index);
    QString selectedLoginId() const;

    bool isAdministrator() const;

    // Rights when the list is activated.
    StaffListRights rights() const;
    // The password frame for the selected row.
    PasswordFrame passwordFrame() const;

    // Deletes the selected row after the question; false when nothing changed.
    bool deleteSelected();

    // Puts the selected row's account into selectedAccount(); a line that
    // cannot be split is reported and false is returned.
    bool setLineData();
    StaffAccount &selectedAccount() { return m_account; }
    const StaffAccount &selectedAccount() const { return m_account; }

    // The password button: askPassword opens the password dialog on
    // selectedAccount() and returns true for OK. The line changes only then.
    bool setPassword(const std::function<bool()> &askPassword);

    // The password dialog's OK: false (with the message) when the two
    // texts differ; otherwise the password of selectedAccount() is set.
    // Any character will do: the settings file is not in code page 932 and
    // a password never goes into a data file.
    bool passwordOk(const QString &password, const QString &again);

    DialogMode dialogMode() const { return m_mode; }
    void setDialogMode(DialogMode mode) { m_mode = mode; }

    // The staff dialog's activation in the current mode.
    StaffDialogState staffDialogState();

    // The staff dialog's OK. askPassword as for setPassword; cancelling it
    // while adding cancels the addition. A login ID or staff name that code
    // page 932 cannot hold is refused, naming the field and the characters.
    StaffOkResult staffDialogOk(const StaffEntry &entry, const std::function<bool()> &askPassword);

    // Replaces (properties) or adds (add) one line; false when a new login
    // ID is already taken. Uses the password of selectedAccount().
    bool passCheck(const StaffEntry &entry);

    // Writes the whole section "Pass". A failed write is shown and the
    // table stays as it is, so nothing is lost; false then.
    bool apply();

private:
    AppContext &m_ctx;
    AccountTable m_table;
    QStringList m_savedLines; // the accounts as stored, for the history
    int m_selected = -1;
    StaffAccount m_account;
    DialogMode m_mode = AddMode;
};

} // namespace velto

#pragma once
// Staff account lines ("loginId,authority,staffName,password") and the table
// of them kept in section "Pass".
#include <QStringList>

#include "core/appcontext.h"

namespace velto {

// Splits one line. False when it has no first or third comma or its
// authority is not a digit.
bool splitAccountLine(const QString &line, StaffAccount *out);
QString joinAccountLine(const StaffAccount &a);
// Whether typed is the password kept as stored: the ward database keeps a
// PBKDF2 hash, the settings file the password itself.
bool passwordMatches(const AppContext &ctx, const QString &stored, const QString &typed);

struct AccountTable {
    QStringList lines; // position i (1-based) is lines[i-1]
    int count() const { return int(lines.size()); }
};

// Rebuilds the table from the store; on a missing or bad "cnt" the failure
// is reported and the table keeps its previous contents.
bool loadAccounts(AppContext &ctx, AccountTable &table);

// True when one of the first `count` lines has exactly this login ID.
bool loginIdTaken(const AccountTable &table, int count, const QString &loginId);

// Reads the three option values; false when one is missing or not a number.
bool readOptionValues(const SettingsStore &store, OptionValues *out);

// Text of the authority choice ("制限スタッフ" / "全権限").
QString authorityCaption(Authority authority);
QString authorityDescription(Authority authority);

// Login check of the login window, one press of OK.
struct LoginResult {
    enum Kind {
        LoggedIn,  // ctx.currentAccount is set
        TryAgain,  // warning shown; focus goes to focusControl
        Exhausted, // third failure: the program ends
        Aborted,   // unexpected failure reported; the window stays
    } kind;
    QString focusControl;
};

LoginResult loginCheck(AppContext &ctx, AccountTable &table, const QString &loginId, const QString &password);

} // namespace velto

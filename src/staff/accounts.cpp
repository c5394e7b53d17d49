#include "accounts.h"

#include <limits>

#include "core/busy.h"
#include "core/errorlog.h"
#include "passwordhash.h"
#include "store/wardstore.h"

namespace velto {

namespace {
// The error log names these steps as it always has.
const QString LoadAccountsProc = QStringLiteral("bigin.MemberList()");
const QString LoginProc = QStringLiteral("frmLogin.Command1_Click()");

// Counts and options are 16-bit in the stored format.
bool toShort(const QString &text, int *out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
        return false;
    *out = v;
    return true;
}
} // namespace

bool passwordMatches(const AppContext &ctx, const QString &stored, const QString &typed)
{
    // The ward database keeps only hashes; the settings file the password.
    const bool hashed = ctx.store && ctx.store->wardSettings();
    return hashed ? passwordhash::verifyPassword(typed, stored) : stored == typed;
}

bool splitAccountLine(const QString &line, StaffAccount *out)
{
    const int p1 = int(line.indexOf(QLatin1Char(',')));
    if (p1 < 0 || p1 + 1 >= line.size())
        return false;
    const QChar auth = line.at(p1 + 1);
    if (!auth.isDigit() || auth.unicode() > '9')
        return false;
    // The character after the authority is taken as the second comma unseen.
    const int nameStart = p1 + 3;
    if (nameStart > line.size())
        return false;
    const int p3 = int(line.indexOf(QLatin1Char(','), nameStart));
    if (p3 < 0)
        return false;
    StaffAccount a;
    a.loginId = line.left(p1);
    a.authority = static_cast<Authority>(auth.unicode() - '0');
    a.staffName = line.mid(nameStart, p3 - nameStart);
    a.password = line.mid(p3 + 1);
    *out = a;
    return true;
}

QString joinAccountLine(const StaffAccount &a)
{
    return a.loginId + QLatin1Char(',') + QString::number(storedAuthority(a.authority)) + QLatin1Char(',') + a.staffName
           + QLatin1Char(',') + a.password;
}

bool loadAccounts(AppContext &ctx, AccountTable &table)
{
    int count = 0;
    if (!toShort(wardSettings(ctx).value(QStringLiteral("Pass"), QStringLiteral("cnt")), &count)) {
        writeErrorLog(ctx, LoadAccountsProc);
        return false;
    }
    AccountTable fresh;
    for (int i = 1; i <= count; ++i)
        fresh.lines.append(wardSettings(ctx).value(QStringLiteral("Pass"), QStringLiteral("user%1").arg(i)));
    table = fresh;
    return true;
}

bool loginIdTaken(const AccountTable &table, int count, const QString &loginId)
{
    const int n = std::min(count, table.count());
    for (int i = 0; i < n; ++i) {
        const QString &line = table.lines.at(i);
        const int comma = int(line.indexOf(QLatin1Char(',')));
        if (comma < 0)
            continue;
        if (line.left(comma) == loginId)
            return true;
    }
    return false;
}

bool readOptionValues(const SettingsStore &store, OptionValues *out)
{
    OptionValues v;
    const QString s = QStringLiteral("Option");
    if (!toShort(store.value(s, QStringLiteral("backup_on_off")), &v.backupOnOff)
        || !toShort(store.value(s, QStringLiteral("backup_off_time")), &v.backupOffTime)
        || !toShort(store.value(s, QStringLiteral("midashi_on_off")), &v.midashiOnOff))
        return false;
    *out = v;
    return true;
}

QString authorityCaption(Authority authority)
{
    return isRestricted(authority) ? QStringLiteral("制限スタッフ") : QStringLiteral("全権限");
}

QString authorityDescription(Authority authority)
{
    return isRestricted(authority) ? QStringLiteral("閲覧はできますが、患者情報等の情報を書き換えることができません。")
                                   : QStringLiteral("全ての権限があります。");
}

LoginResult loginCheck(AppContext &ctx, AccountTable &table, const QString &loginId, const QString &password)
{
    BusyGuard busy(ctx.busy);
    ctx.displayDateIndex = 0;
    ctx.loginAttempts += 1;
    auto abort = [&] {
        busy.release();
        writeErrorLog(ctx, LoginProc);
        return LoginResult {LoginResult::Aborted, {}};
    };

    loadAccounts(ctx, table);

    bool matched = false;
    bool idKnown = false;
    StaffAccount match;
    for (const QString &line : std::as_const(table.lines)) {
        StaffAccount a;
        if (!splitAccountLine(line, &a))
            return abort();
        if (a.loginId == loginId) {
            idKnown = true;
            if (passwordMatches(ctx, a.password, password)) {
                matched = true;
                match = a;
                break;
            }
        }
    }

    OptionValues options;
    if (!readOptionValues(wardSettings(ctx), &options))
        return abort();
    ctx.optionValues = options;

    busy.release();
    if (matched) {
        ctx.currentAccount = match;
        return {LoginResult::LoggedIn, {}};
    }

    const QString reason
        = idKnown ? QStringLiteral("パスワードが間違えています。") : QStringLiteral("ログインIDが間違えています。");
    const QString focus = idKnown ? QStringLiteral("txtPassword") : QStringLiteral("txtLoginID");
    if (ctx.loginAttempts == 1) {
        ctx.prompter->warnYesNo(reason + QStringLiteral("あと２回です。"));
    } else if (ctx.loginAttempts == 2) {
        ctx.prompter->warnYesNo(reason + QStringLiteral("あと１回です。"));
    } else {
        ctx.prompter->errorMsg(QStringLiteral("ログイン失敗しました。処理を終了します。") + QChar('\r')
                               + QStringLiteral("コンピュータ管理者に問い合わせてください。"));
        return {LoginResult::Exhausted, focus};
    }
    return {LoginResult::TryAgain, focus};
}

} // namespace velto

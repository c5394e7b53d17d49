// Staff account lines and the login check over a settings store built from
// the input. First byte even: the input is lines (login ID, password, "cnt",
// the three option values, then user1..), set into an empty store. First
// byte odd: login ID and password lines, then the rest is the INI file itself.
#include <cstddef>
#include <cstdint>

#include "fuzz_common.h"
#include "staff/accounts.h"

using namespace velto;

namespace {
void checkSplit(const QString &line)
{
    StaffAccount a;
    if (!splitAccountLine(line, &a))
        return;
    FUZZ_CHECK(storedAuthority(a.authority) >= 0 && storedAuthority(a.authority) <= 9);
    FUZZ_CHECK(!a.loginId.contains(QLatin1Char(',')));
    FUZZ_CHECK(!a.staffName.contains(QLatin1Char(',')));
    const int p1 = int(line.indexOf(QLatin1Char(',')));
    if (line.at(p1 + 2) == QLatin1Char(',')) // the usual shape joins back to itself
        FUZZ_CHECK(joinAccountLine(a) == line);
    StaffAccount again;
    FUZZ_CHECK(splitAccountLine(joinAccountLine(a), &again));
    FUZZ_CHECK(again.loginId == a.loginId && again.authority == a.authority && again.staffName == a.staffName
               && again.password == a.password);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    fuzz::FuzzContext &fc = fuzz::context();
    fc.resetRun();
    AppContext &ctx = fc.ctx;

    const bool iniMode = data[0] & 1;
    const QByteArray input(reinterpret_cast<const char *>(data + 1), int(size - 1));
    QString loginId, password;
    std::unique_ptr<SettingsStore> store;
    static int serial = 0;
    const QString iniPath = fc.dir.filePath(QStringLiteral("settings/fuzz%1.ini").arg(++serial));

    if (iniMode) {
        const qsizetype a = input.indexOf('\n');
        const qsizetype b = a < 0 ? -1 : input.indexOf('\n', a + 1);
        if (b < 0)
            return 0;
        loginId = QString::fromUtf8(input.left(a));
        password = QString::fromUtf8(input.mid(a + 1, b - a - 1));
        QDir(fc.dir.path()).mkpath(QStringLiteral("settings"));
        fuzz::writeFile(iniPath, input.mid(b + 1));
        store = std::make_unique<SettingsStore>(iniPath);
        QFile::remove(iniPath);
    } else {
        const QStringList lines = QString::fromUtf8(input).split(QLatin1Char('\n'));
        store = std::make_unique<SettingsStore>(iniPath); // no such file: an empty store
        loginId = lines.value(0);
        password = lines.value(1);
        if (lines.size() > 2)
            store->setValue(QStringLiteral("Pass"), QStringLiteral("cnt"), lines.at(2));
        const char *options[] = {"backup_on_off", "backup_off_time", "midashi_on_off"};
        for (int i = 0; i < 3; ++i)
            if (lines.size() > 3 + i)
                store->setValue(QStringLiteral("Option"), QString::fromLatin1(options[i]), lines.at(3 + i));
        for (int i = 6; i < lines.size(); ++i) {
            checkSplit(lines.at(i));
            store->setValue(QStringLiteral("Pass"), QStringLiteral("user%1").arg(i - 5), lines.at(i));
        }
    }
    checkSplit(loginId);
    checkSplit(password);
    ctx.settings = store.get();

    AccountTable table;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        const LoginResult r = loginCheck(ctx, table, loginId, password);
        FUZZ_CHECK(ctx.loginAttempts == attempt);
        if (r.kind == LoginResult::LoggedIn) {
            FUZZ_CHECK(ctx.currentAccount.loginId == loginId);
            FUZZ_CHECK(ctx.currentAccount.password == password);
            break;
        }
        if (r.kind == LoginResult::Exhausted) {
            FUZZ_CHECK(attempt == 3);
            break;
        }
        if (r.kind == LoginResult::Aborted)
            break;
        FUZZ_CHECK(attempt < 3);
        FUZZ_CHECK(r.focusControl == QLatin1String("txtPassword") || r.focusControl == QLatin1String("txtLoginID"));
    }
    for (int i = 1; i <= table.count(); ++i)
        loginIdTaken(table, i, loginId);
    ctx.settings = fc.settings.get();
    return 0;
}

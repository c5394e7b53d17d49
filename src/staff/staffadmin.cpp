#include "staffadmin.h"

#include "core/busy.h"
#include "core/errorlog.h"
#include "core/textfile.h"
#include "store/wardstore.h"

namespace velto {

StaffAdmin::StaffAdmin(AppContext &ctx)
    : m_ctx(ctx)
{ }

void StaffAdmin::load()
{
    BusyGuard busy(m_ctx.busy);
    wardSettings(m_ctx).refresh();
    loadAccounts(m_ctx, m_table);
    m_savedLines = m_table.lines;
    m_selected = m_table.count() > 0 ? 0 : -1;
}

StaffRow StaffAdmin::row(int index) const
{
    StaffRow r;
    if (index < 0 || index >= m_table.count())
        return r;
    const QString &line = m_table.lines.at(index);
    const int comma = int(line.indexOf(QLatin1Char(',')));
    r.loginId = comma < 0 ? line : line.left(comma);
    r.authority
        = (comma >= 0 && line.mid(comma + 1, 1) == QLatin1String("1")) ? Authority::Restricted : Authority::Full;
    r.caption = authorityCaption(r.authority);
    return r;
}

void StaffAdmin::setSelectedRow(int index)
{
    m_selected = (index >= 0 && index < m_table.count()) ? index : -1;
}

QString StaffAdmin::selectedLoginId() const
{
    return m_selected < 0 ? QString() : row(m_selected).loginId;
}

bool StaffAdmin::isAdministrator() const
{
    return m_ctx.currentAccount.loginId == stafftext::administrator();
}

StaffListRights StaffAdmin::rights() const
{
    StaffListRights r;
    const bool admin = isAdministrator();
    r.add = admin;
    r.del = admin;
    r.pass = admin;
    return r;
}

PasswordFrame StaffAdmin::passwordFrame() const
{
    PasswordFrame f;
    const QString s = selectedLoginId();
    f.caption = s + QStringLiteral(" のパスワード");
    f.hint = s + QStringLiteral(" のパスワードを変更するには、[パスワードの設定]をクリックしてください。");
    // Everyone may set his own password; the administrator anyone's.
    f.passEnabled = (m_selected >= 0 && s == m_ctx.currentAccount.loginId) || isAdministrator();
    f.delEnabled = isAdministrator();
    return f;
}

bool StaffAdmin::deleteSelected()
{
    if (m_selected < 0)
        return false;
    const QString s = selectedLoginId();
    if (s == stafftext::administrator()) {
        m_ctx.prompter->errorMsg(stafftext::doNotDelete(s));
        return false;
    }
    if (!m_ctx.prompter->confirmYesNo(stafftext::confirmDelete(s)))
        return false;
    m_table.lines.removeAt(m_selected);
    // The row that moved up into the place is selected next.
    if (m_selected >= m_table.count())
        m_selected = m_table.count() - 1;
    return true;
}

bool StaffAdmin::setLineData()
{
    StaffAccount a;
    if (m_selected < 0 || !splitAccountLine(m_table.lines.at(m_selected), &a)) {
        writeErrorLog(m_ctx, QStringLiteral("bigin.setLineData()"));
        return false;
    }
    m_account = a;
    return true;
}

bool StaffAdmin::setPassword(const std::function<bool()> &askPassword)
{
    // Without the account read, the line would take another account's fields.
    if (!setLineData())
        return false;
    if (!askPassword())
        return false;
    m_table.lines[m_selected] = joinAccountLine(m_account);
    return true;
}

bool StaffAdmin::passwordOk(const QString &password, const QString &again)
{
    if (again != password) {
        m_ctx.prompter->errorMsg(stafftext::passwordMismatch());
        return false;
    }
    m_account.password = password;
    return true;
}

StaffDialogState StaffAdmin::staffDialogState()
{
    StaffDialogState st;
    if (m_mode == AddMode) {
        st.caption = stafftext::newStaffCaption();
        st.okCaption = stafftext::nextButton();
        return st;
    }

    st.okCaption = stafftext::okButton();
    if (!setLineData()) {
        st.valid = false;
        return st;
    }
    st.loginId = m_account.loginId;
    st.staffName = m_account.staffName;
    st.caption = m_account.loginId + QStringLiteral(" のﾌﾟﾛﾊﾟﾃｨ");

    // Its own authority is shown; the other choice is closed.
    st.checkedAuthority = isRestricted(m_account.authority) ? Authority::Restricted : Authority::Full;
    st.option1Enabled = isRestricted(st.checkedAuthority);
    st.option2Enabled = hasFullAuthority(st.checkedAuthority);

    const bool admin = isAdministrator();
    const bool own = m_account.loginId == m_ctx.currentAccount.loginId;
    if (!own) {
        // Others look only, unless the administrator is at work.
        st.userEnabled = admin;
        st.nameEnabled = admin;
        st.okEnabled = admin;
    } else {
        // A user may rename himself, but not change his login ID or authority.
        st.userEnabled = false;
        st.nameEnabled = true;
        st.okEnabled = true;
    }
    if (admin) {
        if (m_account.loginId == stafftext::administrator()) {
            st.userEnabled = false;
            st.option1Enabled = false;
            st.nameEnabled = true;
            st.option2Enabled = true;
        } else {
            st.userEnabled = true;
            st.nameEnabled = true;
            st.option1Enabled = true;
            st.option2Enabled = true;
        }
    }
    return st;
}

StaffOkResult StaffAdmin::staffDialogOk(const StaffEntry &entry, const std::function<bool()> &askPassword)
{
    auto refuse = [&](const QString &message, const char *focus) {
        m_ctx.prompter->errorMsg(message);
        return StaffOkResult {false, QString::fromLatin1(focus)};
    };

    if (entry.loginId == stafftext::administrator()) {
        m_ctx.prompter->errorMsg(stafftext::adminForbidden());
        return {true, {}};
    }
    if (entry.loginId.isEmpty())
        return refuse(stafftext::loginIdEmpty(), "txtUser");
    // A comma would split the stored line in the wrong place.
    if (entry.loginId.contains(QLatin1Char(',')))
        return refuse(stafftext::loginIdComma(), "txtUser");
    // Both go into every record this account saves, in code page 932.
    if (const QString why = textfile::fieldRefusal(stafftext::loginIdLabel(), entry.loginId); !why.isEmpty())
        return refuse(why, "txtUser");
    if (entry.staffName.isEmpty())
        return refuse(stafftext::staffNameEmpty(), "txtName");
    if (entry.staffName.contains(QLatin1Char(',')))
        return refuse(stafftext::staffNameComma(), "txtName");
    if (const QString why = textfile::fieldRefusal(stafftext::staffNameLabel(), entry.staffName); !why.isEmpty())
        return refuse(why, "txtName");
    if (!isRestricted(entry.authority) && !hasFullAuthority(entry.authority))
        return refuse(stafftext::noAuthority(), "SSTab1");

    if (m_mode == AddMode) {
        // A new account starts with no password of any other account.
        m_account = StaffAccount {};
        if (!askPassword())
            return {true, {}}; // cancelled: nothing is added
    }
    if (!passCheck(entry))
        return {false, QStringLiteral("txtUser")};
    return {true, {}};
}

bool StaffAdmin::passCheck(const StaffEntry &entry)
{
    StaffAccount a;
    a.loginId = entry.loginId;
    a.authority = isRestricted(entry.authority) ? Authority::Restricted : Authority::Full;
    a.staffName = entry.staffName;
    a.password = m_account.password;
    const QString line = joinAccountLine(a);

    if (m_mode == PropertiesMode) {
        if (m_selected >= 0)
            m_table.lines[m_selected] = line;
        return true;
    }
    if (loginIdTaken(m_table, m_table.count(), entry.loginId)) {
        m_ctx.prompter->errorMsg(stafftext::loginIdTaken());
        return false;
    }
    m_table.lines.append(line);
    return true;
}

bool StaffAdmin::apply()
{
    const int n = m_table.count();
    if (n <= 0)
        return true;
    SettingsStore &store = wardSettings(m_ctx);
    const QString section = QStringLiteral("Pass");
    store.removeSection(section);
    store.setValue(section, QStringLiteral("cnt"), QString::number(n));
    for (int i = 0; i < n; ++i)
        store.setValue(section, QStringLiteral("user%1").arg(i + 1), m_table.lines.at(i));
    QString error;
    if (!store.commit(&error)) {
        // The store goes back to what the file holds; the table keeps the
        // changes so that Apply can be tried again.
        store.reload();
        if (store.commitConflicted()) {
            // Another administrator changed the accounts first: show theirs,
            // so neither drops the other's accounts.
            m_ctx.prompter->infoMsg(storetext::ChangedElsewhere);
            load();
            return false;
        }
        m_ctx.prompter->errorMsg(error);
        return false;
    }
    // Recorded once the accounts are stored: a settings file and the
    // ward's history cannot change in one step.
    WardChange recorded;
    recorded.events = staffChangeEvents(m_ctx, m_savedLines, m_table.lines);
    m_savedLines = m_table.lines;
    if (!recorded.isEmpty() && m_ctx.store && m_ctx.store->apply(recorded, &error) != ChangeResult::Done)
        m_ctx.prompter->errorMsg(stafftext::HistoryNotRecorded);
    return true;
}

QList<HistoryEvent> staffChangeEvents(const AppContext &ctx, const QStringList &before, const QStringList &after)
{
    const auto accounts = [](const QStringList &lines) {
        QList<StaffAccount> list;
        for (const QString &line : lines) {
            StaffAccount a;
            if (splitAccountLine(line, &a))
                list << a;
        }
        return list;
    };
    const QList<StaffAccount> old = accounts(before);
    const QList<StaffAccount> now = accounts(after);
    const auto find = [](const QList<StaffAccount> &list, const QString &id) -> const StaffAccount * {
        for (const StaffAccount &a : list)
            if (a.loginId == id)
                return &a;
        return nullptr;
    };
    const auto event = [&](const QString &detail) {
        return newHistoryEvent(ctx, historykind::StaffChange, QString(), QString(), QString(), detail);
    };
    QList<HistoryEvent> events;
    for (const StaffAccount &a : old)
        if (!find(now, a.loginId))
            events << event(stafftext::HistoryRemoved.arg(a.loginId, a.staffName));
    for (const StaffAccount &a : now) {
        const StaffAccount *was = find(old, a.loginId);
        if (!was) {
            events << event(stafftext::HistoryAdded.arg(a.loginId, a.staffName));
            continue;
        }
        QStringList parts;
        if (was->staffName != a.staffName)
            parts << stafftext::HistoryName;
        if (was->authority != a.authority)
            parts << stafftext::HistoryAuthority;
        if (was->password != a.password)
            parts << stafftext::HistoryPassword;
        if (!parts.isEmpty())
            events << event(stafftext::HistoryChanged.arg(a.loginId, a.staffName, parts.join(QStringLiteral("、"))));
    }
    return events;
}

} // namespace velto

#include "wardsettings.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "staff/accounts.h"
#include "staff/passwordhash.h"

namespace velto {

namespace {

const QString Pass = QStringLiteral("Pass");
const QString Option = QStringLiteral("Option");

bool run(QSqlQuery &q, QString *error)
{
    if (q.exec())
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

QString text(const QString &s)
{
    return s.isNull() ? QStringLiteral("") : s;
}

} // namespace

bool staffRows(const QMap<QString, QString> &values, QList<StaffAccount> *rows, QString *badKey)
{
    const int count = values.value(Pass + QStringLiteral("/cnt")).toInt();
    for (int i = 1; i <= count; ++i) {
        const QString key = Pass + QStringLiteral("/user%1").arg(i);
        StaffAccount row;
        if (!splitAccountLine(values.value(key), &row)) {
            if (badKey)
                *badKey = key;
            return false;
        }
        rows->append(row);
    }
    return true;
}

bool writeAccountsAndOptions(QSqlDatabase &db, const QList<StaffAccount> &rows, const QMap<QString, QString> &values,
                             QString *error)
{
    QSqlQuery clear(db);
    clear.prepare(QStringLiteral("delete from staff_account"));
    bool ok = run(clear, error);
    for (int i = 0; ok && i < rows.size(); ++i) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("insert into staff_account (position, login_id, authority, staff_name, password_hash)"
                                 " values (?, ?, ?, ?, ?)"));
        q.addBindValue(i + 1);
        q.addBindValue(text(rows.at(i).loginId));
        q.addBindValue(storedAuthority(rows.at(i).authority));
        q.addBindValue(text(rows.at(i).staffName));
        q.addBindValue(rows.at(i).password);
        ok = run(q, error);
    }
    const QString optionPrefix = Option + QLatin1Char('/');
    for (auto it = values.constBegin(); ok && it != values.constEnd(); ++it) {
        if (!it.key().startsWith(optionPrefix))
            continue;
        QSqlQuery q(db);
        q.prepare(QStringLiteral("insert into ward_option (key, value) values (?, ?) on conflict (key)"
                                 " do update set value = excluded.value, version = ward_option.version + 1"));
        q.addBindValue(it.key().mid(optionPrefix.size()));
        q.addBindValue(text(it.value()));
        ok = run(q, error);
    }
    return ok;
}

WardDatabaseSettings::WardDatabaseSettings(QString connectionName, int iterations)
    : m_connection(std::move(connectionName))
    , m_iterations(iterations)
{ }

bool WardDatabaseSettings::load(QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery accounts(db);
    accounts.prepare(QStringLiteral("select login_id, authority, staff_name, password_hash from staff_account"
                                    " order by position"));
    QSqlQuery options(db);
    options.prepare(QStringLiteral("select key, value from ward_option"));
    if (!run(accounts, error) || !run(options, error))
        return false;
    Map map;
    int n = 0;
    while (accounts.next()) {
        const StaffAccount row {accounts.value(0).toString(), static_cast<Authority>(accounts.value(1).toInt()),
                                accounts.value(2).toString(), accounts.value(3).toString()};
        map.insert(fullKey(Pass, QStringLiteral("user%1").arg(++n)), joinAccountLine(row));
    }
    if (n > 0)
        map.insert(fullKey(Pass, QStringLiteral("cnt")), QString::number(n));
    while (options.next())
        map.insert(fullKey(Option, options.value(0).toString()), options.value(1).toString());
    setStored(map);
    return true;
}

bool WardDatabaseSettings::commit(QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // The hashes stored now, so a password nobody changed is kept as it is.
    QHash<QString, QString> storedHash;
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("select login_id, password_hash from staff_account"));
        if (!run(q, error))
            return false;
        while (q.next())
            storedHash.insert(q.value(0).toString(), q.value(1).toString());
    }
    Map map = values();
    QList<StaffAccount> rows;
    if (!staffRows(map, &rows, error))
        return false;
    for (int i = 0; i < rows.size(); ++i) {
        StaffAccount &row = rows[i];
        if (storedHash.value(row.loginId) != row.password || !passwordhash::isPasswordHash(row.password))
            row.password = passwordhash::hashPassword(row.password, m_iterations);
        map.insert(fullKey(Pass, QStringLiteral("user%1").arg(i + 1)), joinAccountLine(row));
    }
    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    const bool ok = writeAccountsAndOptions(db, rows, map, error);
    if (ok && db.commit()) {
        setStored(map);
        return true;
    }
    if (ok && error)
        *error = db.lastError().text();
    db.rollback();
    return false;
}

void WardDatabaseSettings::reload()
{
    if (!load(nullptr))
        revert();
}

} // namespace velto

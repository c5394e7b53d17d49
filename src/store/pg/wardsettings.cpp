#include "wardsettings.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "staff/accounts.h"
#include "staff/passwordhash.h"
#include "store/wardstore.h"

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

namespace {

bool writeAccounts(QSqlDatabase &db, const QList<StaffAccount> &rows, QString *error)
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
    return ok;
}

bool writeOption(QSqlDatabase &db, const QString &key, const QString &value, QString *error)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("insert into ward_option (key, value) values (?, ?) on conflict (key)"
                             " do update set value = excluded.value, version = ward_option.version + 1"));
    q.addBindValue(key);
    q.addBindValue(text(value));
    return run(q, error);
}

const QString OptionPrefix = Option + QLatin1Char('/');
const QString PassPrefix = Pass + QLatin1Char('/');

QMap<QString, QString> section(const QMap<QString, QString> &map, const QString &prefix)
{
    QMap<QString, QString> part;
    for (auto it = map.lowerBound(prefix); it != map.constEnd() && it.key().startsWith(prefix); ++it)
        part.insert(it.key(), it.value());
    return part;
}

// The accounts and options as the settings file's sections hold them.
bool readWard(QSqlDatabase &db, QMap<QString, QString> *map, QString *error)
{
    QSqlQuery accounts(db);
    accounts.prepare(QStringLiteral("select login_id, authority, staff_name, password_hash from staff_account"
                                    " order by position"));
    QSqlQuery options(db);
    options.prepare(QStringLiteral("select key, value from ward_option"));
    if (!run(accounts, error) || !run(options, error))
        return false;
    int n = 0;
    while (accounts.next()) {
        const StaffAccount row {accounts.value(0).toString(), static_cast<Authority>(accounts.value(1).toInt()),
                                accounts.value(2).toString(), accounts.value(3).toString()};
        map->insert(PassPrefix + QStringLiteral("user%1").arg(++n), joinAccountLine(row));
    }
    if (n > 0)
        map->insert(PassPrefix + QStringLiteral("cnt"), QString::number(n));
    while (options.next())
        map->insert(OptionPrefix + options.value(0).toString(), options.value(1).toString());
    return true;
}

} // namespace

bool writeAccountsAndOptions(QSqlDatabase &db, const QList<StaffAccount> &rows, const QMap<QString, QString> &values,
                             QString *error)
{
    bool ok = writeAccounts(db, rows, error);
    for (auto it = values.lowerBound(OptionPrefix); ok && it != values.constEnd() && it.key().startsWith(OptionPrefix);
         ++it)
        ok = writeOption(db, it.key().mid(OptionPrefix.size()), it.value(), error);
    return ok;
}

WardDatabaseSettings::WardDatabaseSettings(QString connectionName, int iterations)
    : m_connection(std::move(connectionName))
    , m_iterations(iterations)
{ }

bool WardDatabaseSettings::load(QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    Map map;
    if (!readWard(db, &map, error))
        return false;
    setStored(map);
    return true;
}

bool WardDatabaseSettings::commit(QString *error)
{
    setConflicted(false);
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const Map &before = stored();
    const bool accountsChanged = section(values(), PassPrefix) != section(before, PassPrefix);
    QStringList optionsChanged;
    {
        Map now = section(values(), OptionPrefix);
        const Map was = section(before, OptionPrefix);
        for (auto it = now.constBegin(); it != now.constEnd(); ++it)
            if (!was.contains(it.key()) || was.value(it.key()) != it.value())
                optionsChanged << it.key();
    }
    if (!accountsChanged && optionsChanged.isEmpty())
        return true;

    // Hashing is slow: done before the transaction, against the hashes
    // this terminal read; the transaction then checks that they still hold.
    Map map = values();
    QList<StaffAccount> rows;
    if (accountsChanged) {
        QHash<QString, QString> storedHash;
        QList<StaffAccount> storedRows;
        staffRows(before, &storedRows, nullptr);
        for (const StaffAccount &row : std::as_const(storedRows))
            storedHash.insert(row.loginId, row.password);
        if (!staffRows(map, &rows, error))
            return false;
        for (int i = 0; i < rows.size(); ++i) {
            StaffAccount &row = rows[i];
            if (storedHash.value(row.loginId) != row.password || !passwordhash::isPasswordHash(row.password))
                row.password = passwordhash::hashPassword(row.password, m_iterations);
            map.insert(PassPrefix + QStringLiteral("user%1").arg(i + 1), joinAccountLine(row));
        }
    }

    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    auto fail = [&] {
        if (error && error->isEmpty())
            *error = db.lastError().text();
        db.rollback();
        return false;
    };
    // One administrator at a time, so the check below cannot go stale
    // before the write; terminals that only read are not held.
    // (LOCK cannot be a prepared statement.)
    QSqlQuery lock(db);
    Map current;
    if (!lock.exec(QStringLiteral("lock table staff_account, ward_option in share row exclusive mode"))) {
        if (error)
            *error = lock.lastError().text();
        return fail();
    }
    if (!readWard(db, &current, error))
        return fail();
    bool conflict = accountsChanged && section(current, PassPrefix) != section(before, PassPrefix);
    for (const QString &key : std::as_const(optionsChanged))
        conflict = conflict || current.contains(key) != before.contains(key) || current.value(key) != before.value(key);
    if (conflict) {
        // Another terminal changed the same accounts or options first:
        // nothing of this commit is written, nothing is merged.
        db.rollback();
        setConflicted(true);
        if (error)
            *error = storetext::ChangedElsewhere;
        return false;
    }
    bool ok = !accountsChanged || writeAccounts(db, rows, error);
    for (int i = 0; ok && i < optionsChanged.size(); ++i)
        ok = writeOption(db, optionsChanged.at(i).mid(OptionPrefix.size()), map.value(optionsChanged.at(i)), error);
    if (!ok || !db.commit())
        return fail();
    // What the database now holds: the others' unrelated changes and ours.
    Map after = current;
    if (accountsChanged) {
        for (const QString &key : section(current, PassPrefix).keys())
            after.remove(key);
        after.insert(section(map, PassPrefix));
    }
    for (const QString &key : std::as_const(optionsChanged))
        after.insert(key, map.value(key));
    setStored(after);
    return true;
}

void WardDatabaseSettings::reload()
{
    if (!load(nullptr))
        revert();
}

bool WardDatabaseSettings::refresh()
{
    // Unreachable: the last values stay.
    return values() == stored() && load(nullptr);
}

} // namespace velto

#include "wardschema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace velto::wardschema {

namespace {

// Every migration ever shipped, in order; version n is the first n entries.
// Never edit one that has shipped: add the next.
const QList<QStringList> &migrations()
{
    static const QList<QStringList> all = {
        {
            // Today's board: one row per bed and per room, each with its own
            // version, so that changes to different beds never conflict. A
            // record names at most one bed.
            QStringLiteral("create table ward_bed (bed smallint primary key check (bed between 0 and 239),"
                           " entry text not null default '', version bigint not null default 1)"),
            QStringLiteral("create unique index ward_bed_entry on ward_bed (entry) where entry <> ''"),
            // A new room is light grey (E0E0E0), as on a first start's board.
            QStringLiteral("create table ward_room (room smallint primary key check (room between 0 and 29),"
                           " number text not null default '', colour text not null default '14737632',"
                           " version bigint not null default 1)"),
            QStringLiteral("insert into ward_bed (bed) select generate_series(0, 239)"),
            QStringLiteral("insert into ward_room (room) select generate_series(0, 29)"),
            // Records as the bytes the folder store holds, beside what
            // queries need; place 'today' or 'kept' (DB/Out).
            QStringLiteral("create table patient_record (place text not null check (place in ('today', 'kept')),"
                           " key text not null, content bytea not null, saved_by text not null default '',"
                           " saved_at text not null default '', photo_path text not null default '',"
                           " photo bytea, version bigint not null default 1, primary key (place, key))"),
            QStringLiteral(
                "create table snapshot_day (day text primary key, made_at timestamptz not null default now())"),
            QStringLiteral("create table snapshot_file (day text not null references snapshot_day on delete cascade,"
                           " name bytea not null, content bytea not null, primary key (day, name))"),
            QStringLiteral("create table facility (id smallint primary key check (id = 1), content bytea not null,"
                           " version bigint not null default 1)"),
            QStringLiteral("create table staff_account (position integer not null unique, login_id text primary key,"
                           " authority smallint not null, staff_name text not null, password_hash text not null,"
                           " version bigint not null default 1)"),
            QStringLiteral("create table ward_option (key text primary key, value text not null,"
                           " version bigint not null default 1)"),
        },
        {
            // The history: who did what, when; written in each change's own
            // transaction, never changed. The id keeps a replay from
            // recording an event twice; seq keeps the order of writing.
            QStringLiteral("create table ward_history (seq bigserial unique, id text primary key, at text not null,"
                           " login_id text not null, staff_name text not null, kind text not null,"
                           " room text not null, bed text not null, patient_key text not null,"
                           " detail text not null)"),
        },
    };
    return all;
}

bool run(QSqlQuery &q, const QString &sql, QString *error)
{
    if (q.exec(sql))
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

// Ends the transaction; on failure nothing of it stays.
bool finish(QSqlDatabase &db, bool ok, QString *error)
{
    if (ok && db.commit())
        return true;
    if (ok && error)
        *error = db.lastError().text();
    db.rollback();
    return false;
}

} // namespace

int latestVersion()
{
    return int(migrations().size());
}

int storedVersion(QSqlDatabase &db, QString *error)
{
    QSqlQuery q(db);
    if (!run(q, QStringLiteral("select to_regclass('velto_schema') is not null"), error) || !q.next())
        return -1;
    if (!q.value(0).toBool())
        return 0;
    if (!run(q, QStringLiteral("select version from velto_schema"), error))
        return -1;
    return q.next() ? q.value(0).toInt() : 0;
}

bool migrate(QSqlDatabase &db, QString *error)
{
    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    // One terminal at a time from here to the commit; the lock goes with the
    // transaction.
    bool ok = run(q, QStringLiteral("select pg_advisory_xact_lock(hashtext('velto_schema'))"), error)
              && run(q, QStringLiteral("create table if not exists velto_schema (version integer not null)"), error);
    int version = ok ? storedVersion(db, error) : -1;
    ok = ok && version >= 0;
    if (ok && version > latestVersion()) {
        if (error)
            *error = text::NewerDatabase.arg(version).arg(latestVersion());
        ok = false;
    }
    if (ok && version == 0)
        ok = run(q, QStringLiteral("insert into velto_schema (version) values (0)"), error);
    for (; ok && version < latestVersion(); ++version) {
        for (const QString &statement : migrations().at(version)) {
            if (!run(q, statement, error)) {
                ok = false;
                break;
            }
        }
        ok = ok && run(q, QStringLiteral("update velto_schema set version = %1").arg(version + 1), error);
    }
    return finish(db, ok, error);
}

QSqlDatabase openConnection(const QString &connectionString, const QString &name, QString *error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    // The whole libpq string goes through as options; the driver would turn
    // a ";" into a space, and the program keeps no password here.
    db.setConnectOptions(connectionString);
    if (!db.open() && error)
        *error = db.lastError().text();
    return db;
}

} // namespace velto::wardschema

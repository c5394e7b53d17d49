#pragma once
// The ward database's tables, created on the first connection and brought up
// to date by numbered migrations, each in one transaction.
#include <QSqlDatabase>
#include <QString>

namespace velto::wardschema {

// The version this program's tables have.
int latestVersion();
// The version the database holds; 0 for a database without the ward's tables.
// -1 when it cannot be read (*error says why).
int storedVersion(QSqlDatabase &db, QString *error);
// Creates the tables or applies the missing migrations. Several terminals may
// start at once: they take turns, and only the first one changes anything.
// Refuses a database made by a newer program, changing nothing.
bool migrate(QSqlDatabase &db, QString *error);

// Opens a connection named name from a libpq connection string, as the
// settings key [Ward] database holds it.
QSqlDatabase openConnection(const QString &connectionString, const QString &name, QString *error);

namespace text {
// %1: the database's version, %2: this program's.
inline const QString NewerDatabase
    = QStringLiteral("このデータベースは新しいバージョンのVeltoで作成されています（データベース%1、プログラム%2）。\r"
                     "Veltoを更新してください。");
} // namespace text

} // namespace velto::wardschema

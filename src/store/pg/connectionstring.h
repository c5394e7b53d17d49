#pragma once
// The settings key [Ward] database: a libpq connection string, in either of
// libpq's forms ("host=... dbname=..." or "postgresql://...").
#include <QMap>
#include <QString>

namespace velto {
class SettingsStore;

namespace connectionstring {

// The key's value; empty means the ward stays in the folder store.
QString wardDatabase(const SettingsStore &settings);

// The keywords and values of a connection string as libpq reads them: later
// keywords win, quotes and backslashes undone, a URI's parts percent-decoded.
// False, with *error naming the fault, for a string libpq would refuse.
bool parse(const QString &text, QMap<QString, QString> *values, QString *error);

// The server a user is told about when it cannot be reached: the host (or
// hostaddr) as written, else "localhost". Never a password.
QString serverName(const QString &text);

namespace text {
// At start, when the server does not answer; %1: serverName().
inline const QString Unreachable = QStringLiteral("サーバーに接続できません。\r%1");
} // namespace text

} // namespace connectionstring
} // namespace velto

#include "connectionstring.h"

#include <QUrl>
#include <QUrlQuery>

#include "core/settingsstore.h"

namespace velto::connectionstring {

namespace {

bool parseKeywords(const QString &s, QMap<QString, QString> *values, QString *error)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    const auto skipSpace = [&] {
        while (i < n && s.at(i).isSpace())
            ++i;
    };
    while (true) {
        skipSpace();
        if (i >= n)
            return true;
        const qsizetype keyStart = i;
        while (i < n && s.at(i) != QLatin1Char('=') && !s.at(i).isSpace())
            ++i;
        const QString key = s.mid(keyStart, i - keyStart);
        skipSpace();
        if (key.isEmpty() || i >= n || s.at(i) != QLatin1Char('=')) {
            *error = QStringLiteral("missing \"=\" after \"%1\"").arg(key);
            return false;
        }
        ++i;
        skipSpace();
        QString value;
        if (i < n && s.at(i) == QLatin1Char('\'')) {
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = s.at(i++);
                if (c == QLatin1Char('\\') && i < n) {
                    value += s.at(i++);
                } else if (c == QLatin1Char('\'')) {
                    closed = true;
                    break;
                } else {
                    value += c;
                }
            }
            if (!closed) {
                *error = QStringLiteral("unterminated quoted value of \"%1\"").arg(key);
                return false;
            }
        } else {
            while (i < n && !s.at(i).isSpace()) {
                const QChar c = s.at(i++);
                if (c == QLatin1Char('\\') && i < n)
                    value += s.at(i++);
                else
                    value += c;
            }
        }
        values->insert(key, value);
    }
}

bool parseUri(const QString &s, QMap<QString, QString> *values, QString *error)
{
    // QUrl wants one host; libpq's host lists ("h1,h2:5433") are kept as
    // written, and only the first is named in messages.
    const qsizetype schemeEnd = s.indexOf(QStringLiteral("://"));
    QString rest = s.mid(schemeEnd + 3);
    QString query;
    if (const qsizetype q = rest.indexOf(QLatin1Char('?')); q >= 0) {
        query = rest.mid(q + 1);
        rest.truncate(q);
    }
    QString path;
    if (const qsizetype slash = rest.indexOf(QLatin1Char('/')); slash >= 0) {
        path = rest.mid(slash + 1);
        rest.truncate(slash);
    }
    if (const qsizetype at = rest.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QString userInfo = rest.left(at);
        rest = rest.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        values->insert(QStringLiteral("user"), QUrl::fromPercentEncoding(userInfo.left(colon).toUtf8()));
        if (colon >= 0)
            values->insert(QStringLiteral("password"), QUrl::fromPercentEncoding(userInfo.mid(colon + 1).toUtf8()));
    }
    if (!rest.isEmpty()) {
        QString host = rest;
        QString port;
        if (!host.startsWith(QLatin1Char('[')) && !host.contains(QLatin1Char(','))) {
            if (const qsizetype colon = host.lastIndexOf(QLatin1Char(':')); colon >= 0) {
                port = host.mid(colon + 1);
                host.truncate(colon);
            }
        }
        if (!host.isEmpty())
            values->insert(QStringLiteral("host"), QUrl::fromPercentEncoding(host.toUtf8()));
        if (!port.isEmpty())
            values->insert(QStringLiteral("port"), port);
    }
    if (!path.isEmpty())
        values->insert(QStringLiteral("dbname"), QUrl::fromPercentEncoding(path.toUtf8()));
    if (!query.isEmpty()) {
        for (const QString &pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
            const qsizetype eq = pair.indexOf(QLatin1Char('='));
            if (eq <= 0) {
                *error = QStringLiteral("invalid URI query parameter \"%1\"").arg(pair);
                return false;
            }
            values->insert(QUrl::fromPercentEncoding(pair.left(eq).toUtf8()),
                           QUrl::fromPercentEncoding(pair.mid(eq + 1).toUtf8()));
        }
    }
    return true;
}

} // namespace

QString wardDatabase(const SettingsStore &settings)
{
    return settings.value(QStringLiteral("Ward"), QStringLiteral("database")).trimmed();
}

bool parse(const QString &text, QMap<QString, QString> *values, QString *error)
{
    QString ignored;
    QString &why = error ? *error : ignored;
    values->clear();
    const QString s = text.trimmed();
    if (s.startsWith(QStringLiteral("postgresql://")) || s.startsWith(QStringLiteral("postgres://")))
        return parseUri(s, values, &why);
    return parseKeywords(s, values, &why);
}

QString serverName(const QString &text)
{
    QMap<QString, QString> values;
    if (!parse(text, &values, nullptr))
        return QStringLiteral("localhost");
    for (const char *key : {"host", "hostaddr"}) {
        const QString v = values.value(QLatin1String(key)).trimmed();
        if (!v.isEmpty())
            return v;
    }
    return QStringLiteral("localhost");
}

} // namespace velto::connectionstring

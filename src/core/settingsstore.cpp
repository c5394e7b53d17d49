#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "textfile.h"

namespace velto {

namespace {
const QString kOrg = QStringLiteral("Quolmar");
constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

QString asText(const QVariant &v)
{
    // An unquoted value with commas comes back as a list; it is one text to us.
    if (v.userType() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}
} // namespace

SettingsStore::SettingsStore(QString filePath)
    : m_path(std::move(filePath))
{
    m_values = readFile();
}

QString SettingsStore::defaultPath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(base).filePath(kOrg + QStringLiteral(".ini"));
}

QString SettingsStore::fullKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

SettingsStore::Map SettingsStore::readFile() const
{
    Map map;
    if (!QFileInfo::exists(m_path))
        return map;
    QSettings s(m_path, QSettings::IniFormat);
    for (const QString &k : s.allKeys())
        map.insert(k, asText(s.value(k)));
    return map;
}

bool SettingsStore::isEmpty() const { return m_values.isEmpty(); }

QString SettingsStore::value(const QString &section, const QString &key) const
{
    return m_values.value(fullKey(section, key));
}

bool SettingsStore::contains(const QString &section, const QString &key) const
{
    return m_values.contains(fullKey(section, key));
}

void SettingsStore::setValue(const QString &section, const QString &key, const QString &value)
{
    m_values.insert(fullKey(section, key), value);
    m_journal.append(fullKey(section, key));
}

void SettingsStore::removeSection(const QString &section)
{
    const QString prefix = section + QLatin1Char('/');
    for (auto it = m_values.begin(); it != m_values.end();) {
        if (it.key().startsWith(prefix))
            it = m_values.erase(it);
        else
            ++it;
    }
    m_journal.append(QStringLiteral("-") + section);
}

bool SettingsStore::commit(QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("設定を保存できませんでした。") + QChar('\r') + why;
        return false;
    };
    const QFileInfo target(m_path);
    if (!QDir().mkpath(target.absolutePath()))
        return fail(target.absolutePath());

    // Let QSettings lay out a scratch copy, check that a fresh parse of its
    // bytes gives back every value, then put the bytes in place in one
    // atomic step. QSettings caches files by name, so the check reads a copy
    // under a name of its own.
    static int serial = 0;
    // Scratch files left by an interrupted commit hold passwords: gone first.
    textfile::removeStaleStagingFiles(target.absolutePath());
    const QString stem = target.absoluteDir().filePath(
        QStringLiteral(".~velto-%1-%2-%3").arg(target.fileName()).arg(QCoreApplication::applicationPid()).arg(++serial));
    const QString scratch = stem + QStringLiteral(".new");
    const QString check = stem + QStringLiteral(".chk");
    auto cleanup = [&] { QFile::remove(scratch); QFile::remove(check); };
    // Passwords live here: no copy is ever readable by others.
    for (const QString &p : {scratch, check}) {
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || !f.setPermissions(kOwnerOnly)) {
            cleanup();
            return fail(p);
        }
    }
    {
        QSettings s(scratch, QSettings::IniFormat);
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
            s.setValue(it.key(), it.value());
        s.sync();
        if (s.status() != QSettings::NoError) {
            cleanup();
            return fail(m_path);
        }
    }
    QByteArray bytes;
    {
        QFile f(scratch);
        if (!f.open(QIODevice::ReadOnly)) {
            cleanup();
            return fail(m_path);
        }
        bytes = f.readAll();
        QFile c(check);
        if (!c.open(QIODevice::WriteOnly) || c.write(bytes) != bytes.size() || !c.flush()) {
            cleanup();
            return fail(m_path);
        }
    }
    {
        QSettings back(check, QSettings::IniFormat);
        Map reread;
        for (const QString &k : back.allKeys())
            reread.insert(k, asText(back.value(k)));
        if (back.status() != QSettings::NoError || reread != m_values) {
            cleanup();
            return fail(m_path);
        }
    }
    cleanup();

    if (!QFileInfo::exists(m_path)) {
        // Created owner-only before any password goes in.
        QFile f(m_path);
        if (!f.open(QIODevice::WriteOnly) || !f.setPermissions(kOwnerOnly))
            return fail(m_path);
    }
    QString why;
    if (!textfile::writeAtomic(m_path, bytes, &why))
        return fail(why);
    QFile::setPermissions(m_path, kOwnerOnly);
    return true;
}

void SettingsStore::reload() { m_values = readFile(); }

} // namespace velto

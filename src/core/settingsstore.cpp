#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "platform.h"
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

SettingsStore::SettingsStore(QString filePath, Sharing sharing)
    : m_path(std::move(filePath))
    , m_sharing(sharing)
{
    Map map;
    m_readable = readFile(&map) != ReadResult::Unreadable;
    m_values = map;
    m_stored = map;
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

SettingsStore::ReadResult SettingsStore::readFile(Map *map) const
{
    const QFileInfo info(m_path);
    if (!info.exists())
        return info.isSymLink() ? ReadResult::Unreadable : ReadResult::Missing;
    // Passwords live here: a copy restored with loose rights is closed at
    // the next start, before anything else reads it.
    if (info.isFile())
        tightenPermissions();
    // QSettings reads a file it may not open as an empty one; that must not
    // pass for a first start.
    QFile probe(m_path);
    if (!probe.open(QIODevice::ReadOnly))
        return ReadResult::Unreadable;
    probe.readAll();
    if (probe.error() != QFileDevice::NoError)
        return ReadResult::Unreadable;
    probe.close();
    QSettings s(m_path, QSettings::IniFormat);
    Map read;
    for (const QString &k : s.allKeys())
        read.insert(k, asText(s.value(k)));
    if (s.status() != QSettings::NoError)
        return ReadResult::Unreadable;
    *map = read;
    return ReadResult::Read;
}

QFile::Permissions SettingsStore::permissions() const
{
    return m_sharing == Sharing::Group ? kOwnerOnly | QFile::ReadGroup | QFile::WriteGroup : kOwnerOnly;
}

void SettingsStore::tightenPermissions() const
{
    constexpr QFile::Permissions group = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup;
    constexpr QFile::Permissions others = QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    const QFile::Permissions loose = m_sharing == Sharing::Group ? others : group | others;
    if (QFile::permissions(m_path) & loose)
        QFile::setPermissions(m_path, permissions());
}

bool SettingsStore::isEmpty() const
{
    return m_values.isEmpty();
}

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
    // A file that could not be read is never replaced by what little the
    // store holds.
    if (!m_readable)
        return fail(m_path);
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
    const QString stem = target.absoluteDir().filePath(QStringLiteral(".~velto-%1-%2-%3")
                                                           .arg(target.fileName())
                                                           .arg(QCoreApplication::applicationPid())
                                                           .arg(++serial));
    const QString scratch = stem + QStringLiteral(".new");
    const QString check = stem + QStringLiteral(".chk");
    auto cleanup = [&] {
        QFile::remove(scratch);
        QFile::remove(check);
    };
    // Passwords live here: no copy is ever readable by others.
    for (const QString &p : {scratch, check}) {
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || !f.setPermissions(permissions())) {
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
        if (!c.open(QIODevice::WriteOnly) || c.write(bytes) != bytes.size() || !c.flush() || !platform::syncToDisk(c)) {
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
    // The checked copy, owner-only since before its first byte, becomes the
    // file: the passwords are never in a file others may read.
    if (!platform::replaceFile(check, m_path)) {
        cleanup();
        return fail(m_path);
    }
    QFile::remove(scratch);
    m_stored = m_values;
    m_readable = true;
    return true;
}

void SettingsStore::reload()
{
    Map map;
    if (readFile(&map) == ReadResult::Read) {
        m_stored = map;
        m_readable = true;
    }
    // A file gone or unreadable now leaves the last known values: writing
    // an emptied store later would drop whole sections.
    m_values = m_stored;
}

} // namespace velto

#include "wardlocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <unistd.h>

#include "settingsstore.h"
#include "startup.h"

namespace velto {

namespace wardlocationtext {
QString notFound(const QString &path)
{
    return QStringLiteral("データフォルダが見つかりません。") + QLatin1Char('\r') + QDir::toNativeSeparators(path);
}
QString notAbsolute(const QString &value)
{
    return QStringLiteral("データフォルダは絶対パスで指定してください。") + QLatin1Char('\r') + value;
}
QString notAFolder(const QString &path)
{
    return QStringLiteral("データフォルダの場所にフォルダ以外のものがあります。") + QLatin1Char('\r')
           + QDir::toNativeSeparators(path);
}
QString notWritable(const QString &path)
{
    return QStringLiteral("データフォルダに書き込む権限がありません。") + QLatin1Char('\r')
           + QDir::toNativeSeparators(path);
}
} // namespace wardlocationtext

bool readWardDefaults(const QString &path, QMap<QString, QString> *ward, QString *message)
{
    ward->clear();
    const QFileInfo fi(path);
    if (!fi.exists())
        return true;
    // QSettings takes a file it cannot open for an empty one.
    QFile probe(path);
    if (!fi.isFile() || !probe.open(QIODevice::ReadOnly)) {
        *message = startuptext::settingsUnreadable(path);
        return false;
    }
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(wardkey::Section);
    for (const QString &key : s.childKeys()) {
        const QVariant v = s.value(key);
        ward->insert(key,
                     v.userType() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString());
    }
    s.endGroup();
    if (s.status() != QSettings::NoError) {
        *message = startuptext::settingsUnreadable(path);
        return false;
    }
    return true;
}

QString wardValue(const SettingsStore &user, const QMap<QString, QString> &defaults, const QString &key)
{
    if (user.contains(wardkey::Section, key))
        return user.value(wardkey::Section, key).trimmed();
    return defaults.value(key).trimmed();
}

WardLocation locateWard(const SettingsStore &user, const QMap<QString, QString> &defaults, const QString &programDir)
{
    WardLocation w;
    w.database = wardValue(user, defaults, wardkey::Database);
    const QString folder = wardValue(user, defaults, wardkey::Folder);
    if (folder.isEmpty()) {
        w.dataFolder = programDir;
        return w;
    }
    w.named = true;
    if (QDir::isRelativePath(folder)) {
        w.error = wardlocationtext::notAbsolute(folder);
        return w;
    }
    w.dataFolder = QDir::cleanPath(folder);
    const QFileInfo fi(w.dataFolder);
    if (!fi.exists()) {
        w.error = wardlocationtext::notFound(w.dataFolder);
    } else if (!fi.isDir()) {
        w.error = wardlocationtext::notAFolder(w.dataFolder);
    } else if (::access(QFile::encodeName(w.dataFolder).constData(), W_OK | X_OK) != 0) {
        // Through the account's groups, as the files will be written.
        w.error = wardlocationtext::notWritable(w.dataFolder);
    } else if (!QFileInfo(QDir(w.dataFolder).filePath(QStringLiteral("DB"))).isDir()) {
        // An empty mount point: nothing, not even the lock, is made there.
        w.error = wardlocationtext::notFound(QDir(w.dataFolder).filePath(QStringLiteral("DB")));
    }
    return w;
}

} // namespace velto

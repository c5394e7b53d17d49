#include "files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace velto::test {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

QString facilityFile(const QString &appDir)
{
    return QDir(appDir).filePath(QStringLiteral("DB/HOSPITAL_INFO.WBD"));
}

} // namespace velto::test

#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velto::test {

// A file's bytes as they are on disk; "<missing>" when it cannot be read,
// so that a file that vanished never equals one that was there.
QByteArray readBytes(const QString &path);

// Every file below root (hidden ones included), relative to it, sorted.
QStringList filesUnder(const QString &root);

// The facility file of a folder store's program folder.
QString facilityFile(const QString &appDir);

} // namespace velto::test

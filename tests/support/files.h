#pragma once
#include <QByteArray>
#include <QString>

namespace velto::test {

// A file's bytes as they are on disk; "<missing>" when it cannot be read,
// so that a file that vanished never equals one that was there.
QByteArray readBytes(const QString &path);

} // namespace velto::test

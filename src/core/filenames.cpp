#include "filenames.h"

namespace velto {

bool isPlainFileName(const QString &name)
{
    // A leading dot also covers "." and "..".
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

} // namespace velto

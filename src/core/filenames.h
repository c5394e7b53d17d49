#pragma once
#include <QString>

namespace velto {

// True for a name that stays a visible file inside its folder: not empty,
// not "." or "..", no leading "." (hidden, and the program's staged files
// begin so), no "/" or "\" and no control character. Every record, bed
// entry and snapshot folder name is checked with this before use.
bool isPlainFileName(const QString &name);

} // namespace velto

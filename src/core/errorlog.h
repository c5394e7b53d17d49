#pragma once
#include <QString>

namespace velto {
struct AppContext;

// The four-line text of the unexpected-error dialog.
QString unexpectedErrorText();

// Error report: the dialog first, then "log/error.log" with the latest
// failure only. A log that cannot be written is given up silently.
void writeErrorLog(AppContext &ctx, const QString &procedureName);

} // namespace velto

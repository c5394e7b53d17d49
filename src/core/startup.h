#pragma once
#include <QString>

namespace velto {
struct AppContext;

// Data folders, today's era date and the first-start settings.
// False when the program must end (the failure has been reported).
bool getReg(AppContext &ctx);

// The first-start values in the order they are written.
struct SettingDefault {
    QString section, key, value;
};
const QList<SettingDefault> &firstStartSettings();

} // namespace velto

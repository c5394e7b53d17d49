#pragma once
// Which items of the board may be used: by the account's authority, whether
// the board shows today, and whether the selected bed is occupied.
#include <QMap>
#include <QString>

namespace velto {
struct AppContext;
class BoardModel;

namespace rights {

// Changes are possible when the authority is not 1 and today is shown.
bool editable(int authority, bool today);

// Menu bar items (by item name) and toolbar buttons (by key), every one of
// them, each with whether it is enabled.
QMap<QString, bool> menuBarStates(int authority, bool today, bool occupied);
// Popup menu items of a bed, every one of them.
QMap<QString, bool> bedMenuStates(int authority, bool today, bool occupied);

// The same for the run's account, display date and selected bed.
QMap<QString, bool> menuBarStates(const AppContext &ctx, const BoardModel &model);
QMap<QString, bool> bedMenuStates(const AppContext &ctx, const BoardModel &model);

} // namespace rights
} // namespace velto

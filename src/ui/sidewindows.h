#pragma once
// Entry points of the windows that the board opens beside the record window:
// discharge, erasure, readmission, backup, snapshot deletion, options and
// the facility form. Each runs modally and returns when done.
#include <QStringList>

class QWidget;

namespace velto {
struct AppContext;
class BoardModel;

// Bed moves of ctx.selectedBed; each returns whether the board changed (the
// layout has then been saved already).
bool runDischarge(AppContext &ctx, BoardModel &model, QWidget *parent);
bool runErase(AppContext &ctx, BoardModel &model, QWidget *parent);
bool runReadmit(AppContext &ctx, BoardModel &model, QWidget *parent);

// Menu item Backup: asks, then makes today's snapshot.
void runManualBackup(AppContext &ctx, QWidget *parent);
// The board's closing: the snapshot when it is due (option on, full authority).
void runAutoBackup(AppContext &ctx, QWidget *parent);

// The snapshot deletion window. Returns the board's new date list (today
// first), or an empty list when nothing was deleted and the list stands.
QStringList runBackupDelete(AppContext &ctx, QWidget *parent);

// The options dialog; the new values act at once through ctx.optionValues.
void runOptions(AppContext &ctx, QWidget *parent);

// The facility form. With cancelDisabled only a successful OK leaves it
// (for an account that may save). Returns whether the facility file was
// written.
bool runFacilityForm(AppContext &ctx, QWidget *parent, bool cancelDisabled);

} // namespace velto

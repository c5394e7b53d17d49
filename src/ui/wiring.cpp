#include "wiring.h"

#include "boardactions.h"
#include "patientrecorddialog.h"
#include "facilitydialog.h"
#include "printdialog.h"
#include "wardboardwindow.h"
#include "sidewindows.h"

namespace velto {

namespace {

// Each window opened from the board is plugged in here.
BoardActions boardActions()
{
    BoardActions a;
    a.discharge = [](WardBoardWindow &b, BoardOrigin) { runDischarge(b.context(), b.model(), &b); b.refreshRights(); };
    a.erase = [](WardBoardWindow &b, BoardOrigin) { runErase(b.context(), b.model(), &b); b.refreshRights(); };
    a.readmit = [](WardBoardWindow &b, BoardOrigin) { runReadmit(b.context(), b.model(), &b); b.refreshRights(); };
    a.backup = [](WardBoardWindow &b) {
        runManualBackup(b.context(), &b);
        b.rebuildDateList();
    };
    a.backupDelete = [](WardBoardWindow &b) {
        const QStringList dates = runBackupDelete(b.context(), &b);
        if (!dates.isEmpty())
            b.setDateList(dates);
    };
    a.facility = [](WardBoardWindow &b) { runFacilityForm(b.context(), &b, false); };
    a.options = [](WardBoardWindow &b) { runOptions(b.context(), &b); };
    a.autoBackup = [](WardBoardWindow &b) { runAutoBackup(b.context(), &b); };
    a.print = [](AppContext &ctx, QWidget *w) {
        if (auto *record = qobject_cast<PatientRecordDialog *>(w))
            openPrintDialog(ctx, record->record(), w);
    };
    return a;
}

} // namespace

AppHooks defaultHooks()
{
    AppHooks hooks;
    hooks.facilityForm = [](AppContext &ctx, bool cancelDisabled) {
        if (cancelDisabled)
            return runFirstStartFacilityForm(ctx);
        runFacilityForm(ctx, nullptr, false);
        return true;
    };
    hooks.board = [](AppContext &ctx) { openBoard(ctx, boardActions()); };
    return hooks;
}

} // namespace velto

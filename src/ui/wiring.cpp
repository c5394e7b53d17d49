#include "wiring.h"

#include "boardactions.h"
#include "frmkozininf.h"
#include "frmoptions.h"
#include "frmprint.h"
#include "frmroom.h"
#include "sidewindows.h"

namespace velto {

namespace {

// Each window opened from the board is plugged in here.
BoardActions boardActions()
{
    BoardActions a;
    a.discharge = [](FrmRoom &b, BoardOrigin) { runDischarge(b.context(), b.model(), &b); b.refreshRights(); };
    a.erase = [](FrmRoom &b, BoardOrigin) { runErase(b.context(), b.model(), &b); b.refreshRights(); };
    a.readmit = [](FrmRoom &b, BoardOrigin) { runReadmit(b.context(), b.model(), &b); b.refreshRights(); };
    a.backup = [](FrmRoom &b) {
        runManualBackup(b.context(), &b);
        b.rebuildDateList();
    };
    a.backupDelete = [](FrmRoom &b) {
        const QStringList dates = runBackupDelete(b.context(), &b);
        if (!dates.isEmpty())
            b.setDateList(dates);
    };
    a.facility = [](FrmRoom &b) { runFacilityForm(b.context(), &b, false); };
    a.options = [](FrmRoom &b) { runOptions(b.context(), &b); };
    a.autoBackup = [](FrmRoom &b) { runAutoBackup(b.context(), &b); };
    a.print = [](AppContext &ctx, QWidget *w) {
        if (auto *record = qobject_cast<FrmKozinInf *>(w))
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

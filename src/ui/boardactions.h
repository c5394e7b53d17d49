#pragma once
// The windows the board opens but does not own, plugged in by the wiring.
// An empty function leaves its item without effect.
#include <functional>

#include "board/bedops.h"

class QWidget;

namespace velto {
struct AppContext;
class WardBoardWindow;

struct BoardActions {
    using BoardAction = std::function<void(WardBoardWindow &board, BoardOrigin origin)>;

    BoardAction discharge; // Taiin (popup), Taiin (menu), "tooltain"
    BoardAction erase;     // Out (popup), DataDel (menu), "toolDel"
    BoardAction readmit;   // SaiNyuin (popup), Sai (menu), "toolSai"

    std::function<void(WardBoardWindow &board)> backup;       // menu Backup: asks, then snapshots
    std::function<void(WardBoardWindow &board)> backupDelete; // menu BackupDataDell
    std::function<void(WardBoardWindow &board)> facility;     // setHospitalInfo, "toolShisetu"
    std::function<void(WardBoardWindow &board)> options;      // OptionDlgStart
    // The automatic backup when the board closes; called only when due.
    std::function<void(WardBoardWindow &board)> autoBackup;

    // The print dialog over the record window (its fields are read directly).
    std::function<void(AppContext &ctx, QWidget *recordWindow)> print;
};

} // namespace velto

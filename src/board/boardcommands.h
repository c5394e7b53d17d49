#pragma once
// Every command of the board, once: when it may be used, and how each
// surface that offers it (menu bar, toolbar, bed popup menu) shows it.
#include <QList>
#include <QString>

#include "bedops.h"
#include "core/appcontext.h"

namespace velto {
class BoardModel;

enum class BoardCommand {
    Close,
    MoveBed,
    EditRecord,
    Discharge,
    Readmit,
    Erase,
    RoomNumber,
    RoomColour,
    Facility,
    Staff,
    Options,
    Backup,
    DeleteBackups,
    History,    // the ward's history, read-only
    Statistics, // the ward over time, read-only
    Help,
    About,
    WallMode,
    DismissMenu, // the bed menu's last item: it only closes the menu
};

// When a command may be used. Writer: the account may change today's data,
// even while the board cannot save its layout (a backup or the options
// touch no layout file).
enum class EnableRule { Always, Writer, Editable, EditableOccupied, EditableFree, EditableOrOccupied };

// What decides the enabled state of every command.
struct BoardState {
    Authority authority = Authority::None;
    bool today = true;
    bool layoutWhole = true; // today's layout loaded whole
    bool occupied = false;   // the selected bed
};

// How one surface shows a command. An empty objectName: not on that surface.
struct CommandPlacement {
    int position = -1;                // order on the surface
    const char *objectName = "";      // also the toolbar icon ":/icons/<objectName>.png"
    const char *caption = "";         // UTF-8; the toolbar's is its tooltip
    const char *shortcut = "";        // QKeySequence text; the bed menu shows it as text only
    const char *menu = "";            // menu bar: objectName of the menu holding it
    int group = 0;                    // toolbar: a gap separates the groups
    const char *separatorBefore = ""; // objectName of a separator above it (menus)
    const char *icon = "";            // bed menu: icon file beside the program

    bool shown() const { return *objectName != 0; }
};

struct BoardCommandRow {
    BoardCommand command;
    EnableRule rule;
    CommandPlacement menuBar;
    CommandPlacement toolbar;
    CommandPlacement popup;
};

// Every command, one row each.
const QList<BoardCommandRow> &boardCommands();
const BoardCommandRow &commandRow(BoardCommand command);

// A surface's commands in display order.
QList<BoardCommandRow> commandsOn(BoardOrigin surface);
const CommandPlacement &placement(const BoardCommandRow &row, BoardOrigin surface);

// The menus of the menu bar in order: objectName and caption.
struct MenuTitle {
    const char *objectName;
    const char *caption;
};
const QList<MenuTitle> &menuBarMenus();

bool commandEnabled(EnableRule rule, const BoardState &state);
inline bool commandEnabled(BoardCommand command, const BoardState &state)
{
    return commandEnabled(commandRow(command).rule, state);
}

// The state of the run's account, display date and layout for a bed.
BoardState boardState(const AppContext &ctx, const BoardModel &model, int selectedBed);

} // namespace velto

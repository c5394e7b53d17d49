#include "wiring.h"

#include "boardactions.h"
#include "frmroom.h"

namespace velto {

namespace {

// Each window opened from the board is plugged in here.
BoardActions boardActions()
{
    BoardActions actions;
    return actions;
}

} // namespace

AppHooks defaultHooks()
{
    AppHooks hooks;
    hooks.board = [](AppContext &ctx) { openBoard(ctx, boardActions()); };
    return hooks;
}

} // namespace velto

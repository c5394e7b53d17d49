#pragma once
// The run of the program: start-up, login, the window chosen after login,
// and the end.
#include <functional>

#include "core/appcontext.h"
#include "staff/accounts.h"

namespace velto {

struct AppHooks {
    // The facility form, modal; cancelDisabled on the first start. Returns
    // false when the user left it and the program is to end.
    std::function<bool(AppContext &, bool cancelDisabled)> facilityForm;
    // The ward board, modal; returns when the board has closed.
    std::function<void(AppContext &)> board;
};

class AppFlow {
public:
    AppFlow(AppContext &ctx, AppHooks hooks, int splashMs = 3000);

    // Returns the process's exit code. The ward's store is locked first.
    int run();

    // What came after login, for a successful login.
    void afterLogin();

    AccountTable &accounts() { return m_accounts; }

private:
    AppContext &m_ctx;
    AppHooks m_hooks;
    int m_splashMs;
    AccountTable m_accounts;
};

// The program's own windows: the facility form and the ward board.
AppHooks defaultHooks();

// Closes every window of the program.
void endProgram();

} // namespace velto

#include "wiring.h"

namespace velto {

AppHooks defaultHooks()
{
    AppHooks hooks;
    return hooks;
}

} // namespace velto

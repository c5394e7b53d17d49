#pragma once
// The one place where the windows that follow login are plugged in.
#include "appflow.h"

namespace velto {
AppHooks defaultHooks();
}

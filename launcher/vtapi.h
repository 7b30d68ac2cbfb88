// The launcher library's one export, as vtAPI.dll defines it and its callers call it: one
// declaration, so a definition with another calling convention does not compile.
#pragma once
#include "launcher/display_settings.h"

extern "C" DisplaySettings* __cdecl InitDemo(void);
using InitDemoFunction = decltype(&InitDemo);

// Launcher bootstrap: display settings from the launcher library, then engine start-up.
#pragma once

#include "launcher/display_settings.h"

// Returns with the engine started; ends the process on cancel or failed start-up.
void Bootstrap();

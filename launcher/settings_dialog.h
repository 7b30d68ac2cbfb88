// The modal dialog that asks the user for the display settings.
#pragma once
#include <windows.h>

#include <string>

#include "settings_file.h"

// Shows the dialog from `module`'s resources with `status` as its note. Start gives the choice
// with fullscreen 1 or 2; Cancel and closing give the shown choice with fullscreen -1. False
// when the dialog could not be shown.
bool RunSettingsDialog(HMODULE module, const std::string& status, DisplaySettings* out);

// GL extension probe, the extension entry points (glExt, in gl_api.h) and named capabilities.
#pragma once

#include <map>
#include <string>

// Named capabilities; reading an absent name inserts it with 0.
extern std::map<std::string, int> capabilities;

// Whether the driver's extension string holds name as a whole word.
bool HasExtension(const char* name);
void SetCapability(const char* name);
// Log the probed extensions, fetch every entry point into glExt and record the capabilities.
void LoadExtensions();

// Where the programs run: the runner's own folder, or for glyphstorm a temporary folder holding
// copies of what it loads and the runner's vtAPI.ini, so the user's vtAPI.ini is never touched.
#pragma once

#include <string>

// The folder of the running program, without a trailing backslash.
std::string ProgramFolder();
// A new folder under the system's temporary folder with copies of every file of `from` but the
// user's vtAPI.ini, and the runner's own vtAPI.ini (windowed 800 x 600 x 32). Empty on failure.
std::string MakeGlyphstormFolder(const std::string& from);
// Removes a folder made by MakeGlyphstormFolder and everything in it (no subfolders are made).
void RemoveWorkFolder(const std::string& folder);
// Makes the folder and its parents; false when it does not exist afterwards.
bool MakeFolders(const std::string& folder);

// Engine start-up and shutdown.
#pragma once

#include <windows.h>

#include <IL/il.h>

#include "engine/text/default_font.h"

extern BitmapFont* defaultFont;

// Bring the engine up from the launcher's four settings; false when the window cannot be opened.
bool InitEngine(int width, int height, int bpp, int fullscreenSetting);
// Take the engine down; true when a release step failed (the program's exit code).
bool DeInitEngine();
// Check the sound library's version and start it.
void InitSound();

// Where the version checks read the libraries' versions. The program uses the libraries' own
// queries; tests substitute other versions.
using SoundVersionFunction = DWORD(WINAPI*)();
using ImageVersionFunction = ILint(ILAPIENTRY*)(ILenum);
extern SoundVersionFunction soundVersionSource;
extern ImageVersionFunction ilVersionSource;
extern ImageVersionFunction iluVersionSource;
extern ImageVersionFunction ilutVersionSource;

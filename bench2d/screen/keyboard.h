// The keyboard through DirectInput 7 (DINPUT.DLL loaded at run time).
#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0700
#endif
#include <windows.h>
#include <dinput.h>

#include <cstdint>

// KeyboardDeviceState: how far the keyboard device has come.
enum : int32_t { KeyboardNoDevice = 0, KeyboardNotAcquired = 1, KeyboardAcquired = 2 };

struct KeyboardState {
  IDirectInput7A* directInput;
  HMODULE dinputModule;
  int32_t dinputUsers;
  bool initialised;
  IDirectInputDevice7A* device;
  int32_t state;  // KeyboardDeviceState; not acquired also after acquisition was lost
  DWORD cooperation;
  BYTE keys[256];
  DIDATAFORMAT format;
};

extern KeyboardState keyboardState;

// Starts DirectInput and the keyboard device; non-zero on success.
int InitKeys();
// Takes a snapshot of the keys (acquiring the device first when needed); 1 if taken.
int PollKeyboard();
// 0x80 if the key was down in the last snapshot of an acquired keyboard, else 0.
int IsKeyDown(int32_t code);
// Releases the device, and DirectInput once its last user is gone.
void EndKeys();

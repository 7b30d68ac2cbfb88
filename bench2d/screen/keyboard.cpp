// Keyboard snapshots from DirectInput 7 with a 256-key data format built at start-up.
#include "keyboard.h"

#include "display.h"
#include "layer.h"

KeyboardState keyboardState;

namespace {

using DirectInputCreateExFn = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, void**, IUnknown*);

void CreateDirectInput(KeyboardState& k) {
  k.dinputModule = LoadLibraryA("DINPUT.DLL");
  if (!k.dinputModule) return;
  auto create = reinterpret_cast<DirectInputCreateExFn>(
      reinterpret_cast<void*>(GetProcAddress(k.dinputModule, "DirectInputCreateEx")));
  if (create) {
    create(screenLayer.instance, 0x0700, IID_IDirectInput7A,
           reinterpret_cast<void**>(&k.directInput), nullptr);
  }
}

// One optional button object per key code, each reporting into its own byte.
bool BuildKeyFormat(KeyboardState& k) {
  auto* objects = static_cast<DIOBJECTDATAFORMAT*>(
      HeapAlloc(screenLayer.mainHeap ? screenLayer.mainHeap : GetProcessHeap(), HEAP_ZERO_MEMORY,
                256 * sizeof(DIOBJECTDATAFORMAT)));
  if (!objects) return false;
  for (DWORD n = 0; n < 256; ++n) {
    objects[n].pguid = &GUID_Key;
    objects[n].dwOfs = n;
    objects[n].dwType = 0x8000000C | (n << 8);
    objects[n].dwFlags = 0;
  }
  k.format.dwSize = sizeof(DIDATAFORMAT);
  k.format.dwObjSize = sizeof(DIOBJECTDATAFORMAT);
  k.format.dwFlags = DIDF_RELAXIS;
  k.format.dwDataSize = 256;
  k.format.dwNumObjs = 256;
  k.format.rgodf = objects;
  return true;
}

}  // namespace

int InitKeys() {
  KeyboardState& k = keyboardState;
  if (!k.directInput) CreateDirectInput(k);
  k.dinputUsers += 1;
  k.initialised = true;
  if (!k.directInput) return 0;
  if (k.state != KeyboardNoDevice) return 1;
  k.cooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY;
  if (!k.format.rgodf && !BuildKeyFormat(k)) return 0;
  if (k.directInput->CreateDeviceEx(GUID_SysKeyboard, IID_IDirectInputDevice7A,
                                    reinterpret_cast<void**>(&k.device), nullptr) != DI_OK) {
    k.device = nullptr;
    return 0;
  }
  if (k.device->SetDataFormat(&k.format) != DI_OK) return 0;
  k.state = KeyboardNotAcquired;
  return 1;
}

int PollKeyboard() {
  KeyboardState& k = keyboardState;
  if (!k.device) return 0;
  int result = 1;
  if (k.state == KeyboardNotAcquired) {
    k.device->SetCooperativeLevel(displayState.window, k.cooperation);
    k.device->Acquire();
    k.state = KeyboardAcquired;
  }
  if (k.device->GetDeviceState(sizeof(k.keys), k.keys) != DI_OK) {
    k.state = KeyboardNotAcquired;
    result = 0;
  }
  return result;
}

int IsKeyDown(int32_t code) {
  if (keyboardState.state != KeyboardAcquired || code < 0 || code > 255) return 0;
  return keyboardState.keys[code] & 0x80;
}

void EndKeys() {
  KeyboardState& k = keyboardState;
  if (!k.initialised) return;
  if (k.device) {
    k.device->Unacquire();
    k.device->Release();
    k.device = nullptr;
    k.state = KeyboardNoDevice;
  }
  DropSharedObject(k.dinputUsers, k.directInput, k.dinputModule);
}

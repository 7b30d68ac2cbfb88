// The three calls of the sound library that the engine uses: version query, device start and stop.
#pragma once
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Major and minor version in the high word (0x0203 for 2.3), revision in the low word.
DWORD WINAPI BASS_GetVersion(void);
// Opens output device `device` (-1 = the default device) at `freq` Hz; FALSE when it cannot.
BOOL WINAPI BASS_Init(int device, DWORD freq, DWORD flags, HWND win, const void* dsguid);
// Closes the device opened by BASS_Init; FALSE when none is open.
BOOL WINAPI BASS_Free(void);

#ifdef __cplusplus
}
#endif

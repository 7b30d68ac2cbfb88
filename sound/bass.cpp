// bass.dll: reports version 2.3 and opens/closes a wave-out device; it never plays a sound.
#include "bass.h"

#include <mmsystem.h>

namespace {

// The device is what the library owns between BASS_Init and BASS_Free; one per process.
HWAVEOUT openDevice = nullptr;

// -1 is the system's default device; 0..n-1 pick a wave-out device by number.
bool DeviceId(int device, UINT* id) {
  if (device == -1) {
    *id = WAVE_MAPPER;
    return true;
  }
  if (device < 0 || static_cast<UINT>(device) >= waveOutGetNumDevs()) return false;
  *id = static_cast<UINT>(device);
  return true;
}

WAVEFORMATEX PcmFormat(DWORD freq) {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = freq;
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
  format.nAvgBytesPerSec = freq * format.nBlockAlign;
  return format;
}

}  // namespace

extern "C" DWORD WINAPI BASS_GetVersion(void) { return 0x02030000; }

// flags, win and dsguid only matter for playback, which this library never does.
extern "C" BOOL WINAPI BASS_Init(int device, DWORD freq, DWORD flags, HWND win,
                                 const void* dsguid) {
  UINT id = 0;
  if (openDevice || freq == 0 || freq > 1000000 || !DeviceId(device, &id)) return FALSE;
  WAVEFORMATEX format = PcmFormat(freq);
  HWAVEOUT handle = nullptr;
  if (waveOutOpen(&handle, id, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return FALSE;
  openDevice = handle;
  return TRUE;
}

extern "C" BOOL WINAPI BASS_Free(void) {
  if (!openDevice) return FALSE;
  waveOutClose(openDevice);
  openDevice = nullptr;
  return TRUE;
}

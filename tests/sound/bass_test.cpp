// bass.dll through its import library: version, undecorated exports, Init/Free sequencing.
#include "bass.h"

#include <gtest/gtest.h>
#include <mmsystem.h>

namespace {

// Whether the default wave-out device opens right now (for the format BASS_Init asks for).
bool DefaultDeviceOpens(DWORD freq) {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = freq;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = freq * 4;
  HWAVEOUT handle = nullptr;
  if (waveOutOpen(&handle, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
    return false;
  waveOutClose(handle);
  return true;
}

TEST(Bass, ReportsVersion23) {
  EXPECT_EQ(BASS_GetVersion() >> 16, 0x0203u);
  EXPECT_EQ(BASS_GetVersion(), BASS_GetVersion());
}

TEST(Bass, ExportsUndecoratedNames) {
  HMODULE bass = GetModuleHandleA("bass.dll");
  ASSERT_NE(bass, nullptr);
  for (const char* name : {"BASS_GetVersion", "BASS_Init", "BASS_Free"})
    EXPECT_NE(GetProcAddress(bass, name), nullptr) << name;
}

TEST(Bass, FreeWithoutInitFails) { EXPECT_FALSE(BASS_Free()); }

TEST(Bass, InitFollowsTheDefaultDevice) {
  const bool expected = DefaultDeviceOpens(22050);
  const BOOL started = BASS_Init(-1, 22050, 4, nullptr, nullptr);
  EXPECT_EQ(started != FALSE, expected);
  if (started) {
    EXPECT_FALSE(BASS_Init(-1, 22050, 4, nullptr, nullptr)) << "second Init without Free";
    EXPECT_TRUE(BASS_Free());
    EXPECT_TRUE(BASS_Init(-1, 22050, 4, nullptr, nullptr)) << "Init again after Free";
    EXPECT_TRUE(BASS_Free());
  }
  EXPECT_FALSE(BASS_Free());
}

TEST(Bass, RejectsUnusableArguments) {
  EXPECT_FALSE(BASS_Init(-2, 22050, 0, nullptr, nullptr));
  EXPECT_FALSE(BASS_Init(-1, 0, 0, nullptr, nullptr));
  EXPECT_FALSE(BASS_Init(static_cast<int>(waveOutGetNumDevs()), 22050, 0, nullptr, nullptr));
  EXPECT_FALSE(BASS_Free());
}

}  // namespace

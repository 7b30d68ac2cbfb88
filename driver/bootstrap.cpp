// Loads vtAPI.dll, asks its InitDemo for the display settings and starts the engine with them.
#include "driver/bootstrap.h"

#include <windows.h>

#include <cstdlib>

#include "engine/core/engine_state.h"
#include "engine/core/startup.h"
#include "launcher/vtapi.h"

namespace {

// Without a usable launcher the benchmark still runs: windowed, 800 × 600, 32 bits.
const DisplaySettings kFallbackSettings = {800, 600, 32, 2};

DisplaySettings AskLauncher() {
  HMODULE launcher = LoadLibraryA("vtAPI.dll");  // stays loaded for the process
  InitDemoFunction initDemo = launcher ? reinterpret_cast<InitDemoFunction>(reinterpret_cast<void*>(
                                             GetProcAddress(launcher, "InitDemo")))
                                       : nullptr;
  const DisplaySettings* answer = initDemo ? initDemo() : nullptr;
  if (!answer) {
    engineLog << "Не могу загрузить библиотеку vtAPI" << std::endl;
    return kFallbackSettings;
  }
  return *answer;
}

}  // namespace

void Bootstrap() {
  DisplaySettings settings = AskLauncher();
  engineLog << "width=" << settings.width << std::endl;
  engineLog << "height=" << settings.height << std::endl;
  engineLog << "bpp=" << settings.bpp << std::endl;
  engineLog << "fullscreen=" << settings.fullscreen << std::endl;
  if (settings.fullscreen == -1) std::exit(0);
  if (!InitEngine(settings.width, settings.height, settings.bpp, settings.fullscreen)) std::exit(0);
}

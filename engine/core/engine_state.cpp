// Definitions of the engine's process-wide state. The objects with constructors are defined here,
// in one file, so that they are created in a fixed order (the log first) and destroyed in reverse.
#include "engine/core/engine_state.h"

#include "engine/core/extensions.h"
#include "engine/scene/scene_lists.h"

EngineLogStream engineLog;
std::map<std::string, int> capabilities;
std::list<Camera*> cameras;
std::list<SceneObject*> sceneObjects;

HWND hWnd;
HDC hDC;
HGLRC hRC;
bool fullscreen;
bool active;
bool keys[256];

int fps;
int frameCount;
unsigned lastFpsTick;

int screenWidth;
int screenHeight;
int textureFilterLevel;
float maxAnisotropy;
bool soundReady;
int shadersEnabled;

MessageBoxFunction showMessageBox = MessageBoxA;
TickCountFunction readTickCount = GetTickCount;
GetDcFunction getWindowDc = GetDC;
ChoosePixelFormatFunction choosePixelFormat = ChoosePixelFormat;
DescribePixelFormatFunction describePixelFormat = DescribePixelFormat;

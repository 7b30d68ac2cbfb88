// Definitions of the frame and render state (see scene_state.h).
#include "engine/scene/scene_state.h"

Viewport viewportCache;
Vec3f eyePosition;
FrameStats frameStats;
Plane frustumPlanes[PlaneCount];

Texture* textureUnitCache[8];
ShaderProgram* currentProgram;
uint8_t blendModeCache;
uint32_t boundArrayBuffer;
uint32_t boundElementBuffer;

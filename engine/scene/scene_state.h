// Frame and render state shared by the frame cycle and scene drawing: plain process-wide data,
// zero at load. Portable: no Windows or GL headers.
#pragma once

#include <cstdint>

#include "engine/scene/scene_types.h"

struct FrameStats {
  uint32_t trianglesDrawn;
  uint32_t verticesDrawn;
  uint32_t objectsCulled;
  uint32_t objectsVisible;
};

// A plane a·x + b·y + c·z + d, positive on the inner side, (a, b, c) of unit length.
struct Plane {
  float a, b, c, d;
};
enum { PlaneRight, PlaneLeft, PlaneBottom, PlaneTop, PlaneNear, PlaneFar, PlaneCount };

extern Viewport viewportCache;  // the viewport BeginFrame last passed to glViewport
extern Vec3f eyePosition;       // position of the camera applied last
extern FrameStats frameStats;   // totals of the current frame
extern Plane frustumPlanes[PlaneCount];

// Render state last applied by scene drawing. The first three live for a frame (Reset2DState
// empties them); the buffer objects stay bound across frames.
extern Texture* textureUnitCache[8];
extern ShaderProgram* currentProgram;
extern uint8_t blendModeCache;
extern uint32_t boundArrayBuffer;
extern uint32_t boundElementBuffer;

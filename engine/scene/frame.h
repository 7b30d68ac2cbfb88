// The per-frame set-up: clear, every active camera's view of the scene, then the 2D text state.
#pragma once

#include "engine/scene/scene_types.h"

// Clear the buffers, render the scene once per active camera and leave a 2D projection in window
// pixels (origin top-left). Always 1.
int BeginFrame();
// Put the state drawing relies on back: no textures but 2D on unit 0, no program, no blending,
// depth test and lighting off, depth writes on, pixel projection; empties the per-frame caches.
void Reset2DState();
// Load the camera's projection and view (following its target first) and note its eye position.
void ApplyCamera(Camera* camera);

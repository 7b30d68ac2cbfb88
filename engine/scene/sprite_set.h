// Drawing of sprite sets: upright textured quads turned about the vertical axis to face the eye.
#pragma once

#include "engine/scene/scene_types.h"

// Draw the set of an object at origin (its position) as one quad batch, unless its cached
// extents put it outside the frustum. Refreshes the extents first when they are marked dirty.
void DrawSpriteSet(SpriteSet* set, float originX, float originY, float originZ);

// Sprite-set extents and the corners of eye-facing sprite quads. Portable.
#pragma once

#include "engine/scene/scene_types.h"

// Extent of the set along one axis: largest (c + size) minus smallest (c − size) over the sprites,
// with the full width (x, z) or height (y) as the half-size. 0 for a set without sprites.
float SpriteSetSpanX(const SpriteSet* set);
float SpriteSetSpanY(const SpriteSet* set);
float SpriteSetSpanZ(const SpriteSet* set);

// The four corners of the upright quad of sprite p turned towards the eye at offset (ex, ez)
// from the set's origin, in drawing order: top-left, bottom-left, bottom-right, top-right as seen
// from the eye.
void SpriteCorners(const Sprite& p, float ex, float ez, Vec3f corners[4]);

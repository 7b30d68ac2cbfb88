// Drawing of scene objects and their payloads: meshes, height grids and lights.
#pragma once

#include "engine/scene/scene_types.h"

// Draw the object and its subtree under the current modelview matrix, filtering texture, blend
// and buffer changes through the render-state caches. Always 1.
int DrawObject(SceneObject* object);
// Draw n indexed triangles, from the buffer objects or (immediate) from the client arrays.
void DrawMesh(Mesh* mesh);
// Draw the grid from its buffer objects, or (immediate) as two triangles per cell of unit size.
void DrawHeightGrid(HeightGrid* grid);
// Set the light's colours and put it at the origin of the current modelview matrix.
void ApplyLight(Light* light);
// Make texture unit `unit` current; without multitexture there is only unit 0 and nothing to do.
void SelectTextureUnit(int unit);
// Make the program object current; nothing while shaders are off or the entry point is missing.
void UseProgram(uint32_t handle);

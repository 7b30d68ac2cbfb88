// The cameras and top-level scene objects that every frame renders, and the application's way to
// fill them. The engine itself never adds or removes entries; the lists hold pointers only and
// own nothing.
//
// An application may also change the lists directly (push_back, remove, clear, reorder) at any
// time outside BeginFrame; AddCamera and friends are the checked shorthand for the common case.
#pragma once

#include <list>

#include "engine/scene/scene_types.h"

extern std::list<Camera*> cameras;            // walked first to last, once per frame
extern std::list<SceneObject*> sceneObjects;  // drawn first to last under every active camera

// Append camera to the end of cameras. Null and a camera already listed are refused (false):
// listing a camera twice would render its view twice per frame.
bool AddCamera(Camera* camera);
// Take camera out of cameras; false when it was not listed. The camera itself is not freed.
bool RemoveCamera(Camera* camera);
// Append a top-level object to sceneObjects; null and an object already listed are refused.
bool AddSceneObject(SceneObject* object);
// Take object out of sceneObjects; false when it was not listed. The object is not freed.
bool RemoveSceneObject(SceneObject* object);

// Checked add and remove for the camera and scene-object lists (defined in engine_state.cpp).
#include "engine/scene/scene_lists.h"

#include <algorithm>

namespace {

template <typename T>
bool AddOnce(std::list<T*>& list, T* item) {
  if (!item || std::find(list.begin(), list.end(), item) != list.end()) return false;
  list.push_back(item);
  return true;
}

template <typename T>
bool RemoveAll(std::list<T*>& list, T* item) {
  size_t before = list.size();
  list.remove(item);
  return item && list.size() != before;
}

}  // namespace

bool AddCamera(Camera* camera) { return AddOnce(cameras, camera); }
bool RemoveCamera(Camera* camera) { return RemoveAll(cameras, camera); }
bool AddSceneObject(SceneObject* object) { return AddOnce(sceneObjects, object); }
bool RemoveSceneObject(SceneObject* object) { return RemoveAll(sceneObjects, object); }

// The records of the scene: cameras, scene objects and their payloads. Plain data, portable (no
// Windows or GL headers), so the maths around them also builds natively.
#pragma once

#include <cstdint>
#include <list>

struct Texture;
struct SceneObject;

struct Vec3f {
  float x, y, z;
};

struct Viewport {
  int32_t x, y, width, height;  // window pixels, origin bottom-left as for glViewport
};

// ProjectionKind: 0 inactive, 1 perspective, 2 orthographic, others active with identity.
enum : uint8_t { ProjectionInactive = 0, ProjectionPerspective = 1, ProjectionOrthographic = 2 };

struct Camera {
  Vec3f position;
  Vec3f rotation;  // degrees about x, y and z
  Viewport viewport;
  uint8_t projection;
  float aspect;
  float fieldOfView;  // vertical, degrees
  float nearPlane;
  float farPlane;
  SceneObject* followTarget;  // when set, position and rotation are taken from it on apply
};

// ObjectKind: what the payload of a scene object is.
enum : uint32_t {
  ObjectNode = 0,
  ObjectMesh = 1,
  ObjectLight = 2,
  ObjectHeightGrid = 4,
  ObjectSpriteSet = 5,
};

// Blend modes of a scene object.
enum : uint8_t { BlendNone = 0, BlendAlpha = 1, BlendMultiply = 2, BlendAdd = 3 };

struct ShaderProgram {
  uint32_t handle;  // the GL program object
  uint8_t ready;
};

using SceneObjectCallback = void (*)(SceneObject* object);

struct SceneObject {
  uint8_t visible;
  Vec3f position;  // in the parent's frame
  Vec3f rotation;  // degrees about x, y and z
  Vec3f scale;
  uint32_t kind;
  void* payload;  // Mesh, Light, HeightGrid or SpriteSet, by kind
  Texture* textures[8];
  float boundingRadius;
  uint8_t cullTest;
  uint8_t blendMode;
  std::list<SceneObject*>* children;
  SceneObject* parent;  // whose scale is compensated around this object's rotation
  ShaderProgram* program;
  float alphaRef;  // 0: no alpha test
  SceneObjectCallback onBeforeDraw;
  SceneObjectCallback onAfterDraw;
  SceneObjectCallback onApplyProgram;
};

// One vertex in the interleaved T2F_C4F_N3F_V3F layout.
struct MeshVertex {
  float s, t;
  float r, g, b, a;
  float nx, ny, nz;
  float x, y, z;
};
static_assert(sizeof(MeshVertex) == 48, "MeshVertex must match the interleaved layout");

struct Mesh {
  uint32_t vertexCount;
  uint32_t triangleCount;
  MeshVertex* vertices;
  uint32_t* indices;  // three per triangle
  uint32_t vertexBuffer;
  uint32_t indexBuffer;
  uint8_t immediate;  // non-zero: draw from the client arrays
};

struct HeightGrid {
  uint32_t rows;     // samples along x
  uint32_t columns;  // samples along z
  float* heights;    // sample (i, j) at i * columns + j
  uint8_t immediate;
  uint32_t vertexBuffer;
  uint32_t indexBuffer;
  uint32_t triangleCount;
  uint32_t vertexCount;
};

struct Light {
  float specular[4];
  float ambient[4];
  float diffuse[4];
  uint8_t number;  // GL light 0 to 7
};

struct Sprite {
  float x, y, z;  // centre in the owning object's frame
  float width, height;
  float extra;  // not read by drawing
};
static_assert(sizeof(Sprite) == 24, "sprites are six tightly packed floats");

struct SpriteSet {
  Sprite* sprites;
  uint32_t spriteCount;
  float spanX, spanY, spanZ;  // cached extents
  int32_t spansDirty;         // non-zero: recompute the spans at the next draw
};

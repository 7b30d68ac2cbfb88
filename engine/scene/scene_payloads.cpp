// The payloads of scene objects: triangle meshes, height grids and lights.
#include "engine/core/gl_api.h"
#include "engine/scene/scene_object.h"
#include "engine/scene/scene_state.h"

namespace {

// n triangles from buffer objects, binding each buffer only when it differs from the one last
// bound. Needs both buffers: with 0 for either the draw would read client memory at address 0,
// so such a record, like a driver without the entry points, draws nothing.
void DrawBuffers(uint32_t vertexBuffer, uint32_t indexBuffer, uint32_t triangleCount) {
  if (!glBindBufferARB || !glDrawRangeElements || vertexBuffer == 0 || indexBuffer == 0) return;
  if (indexBuffer != boundElementBuffer) {
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, indexBuffer);
    boundElementBuffer = indexBuffer;
  }
  if (vertexBuffer != boundArrayBuffer) {
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, vertexBuffer);
    glInterleavedArrays(GL_T2F_C4F_N3F_V3F, 0, nullptr);
    boundArrayBuffer = vertexBuffer;
  }
  if (triangleCount == 0) return;  // an end index of −1 would only raise a GL error
  GLsizei count = GLsizei(3 * triangleCount);
  glDrawRangeElements(GL_TRIANGLES, 0, GLuint(count - 1), count, GL_UNSIGNED_INT, nullptr);
}

void CountDrawn(uint32_t triangles, uint32_t vertices) {
  frameStats.trianglesDrawn += triangles;
  frameStats.verticesDrawn += vertices;
}

void GridVertex(float s, float t, float x, float y, float z) {
  glTexCoord2f(s, t);
  glVertex3f(x, y, z);
}

}  // namespace

void DrawMesh(Mesh* mesh) {
  CountDrawn(mesh->triangleCount, mesh->vertexCount);
  if (!mesh->immediate) {
    DrawBuffers(mesh->vertexBuffer, mesh->indexBuffer, mesh->triangleCount);
    return;
  }
  glBegin(GL_TRIANGLES);
  // Client arrays that are missing draw nothing, and a triangle with an index past vertexCount
  // is left out whole, rather than reading beyond the vertices.
  uint32_t n = mesh->vertices && mesh->indices ? mesh->triangleCount : 0;
  for (uint32_t t = 0; t < n; ++t) {
    const uint32_t* corner = mesh->indices + 3 * size_t(t);
    if (corner[0] >= mesh->vertexCount || corner[1] >= mesh->vertexCount ||
        corner[2] >= mesh->vertexCount) {
      continue;
    }
    for (int k = 0; k < 3; ++k) {
      const MeshVertex& v = mesh->vertices[corner[k]];
      glColor3f(v.r, v.g, v.b);
      glTexCoord2f(v.s, v.t);
      glNormal3f(v.nx, v.ny, v.nz);
      glVertex3f(v.x, v.y, v.z);
    }
  }
  glEnd();
}

void DrawHeightGrid(HeightGrid* grid) {
  if (!grid->immediate) {
    CountDrawn(grid->triangleCount, grid->vertexCount);
    DrawBuffers(grid->vertexBuffer, grid->indexBuffer, grid->triangleCount);
    return;
  }
  glBegin(GL_TRIANGLES);
  // i + 1 < rows rather than i ≤ rows − 2: the counts are unsigned, and a grid with fewer than two
  // samples along an axis has no cells.
  uint32_t rows = grid->heights ? grid->rows : 0, columns = grid->columns;
  for (uint32_t i = 0; i + 1 < rows; ++i) {
    for (uint32_t j = 0; j + 1 < columns; ++j) {
      const float* row = grid->heights + size_t(i) * columns;
      float h00 = row[j], h01 = row[j + 1], h10 = row[columns + j], h11 = row[columns + j + 1];
      float x0 = float(i), x1 = float(i + 1), z0 = float(j), z1 = float(j + 1);
      glNormal3f(0, 1, 0);
      GridVertex(0, 0, x0, h00, z0);
      GridVertex(1, 1, x1, h11, z1);
      GridVertex(1, 0, x1, h10, z0);
      GridVertex(1, 1, x1, h11, z1);
      GridVertex(0, 0, x0, h00, z0);
      GridVertex(0, 1, x0, h01, z1);
    }
  }
  glEnd();
}

// The light belongs at the object's origin in eye coordinates. GL transforms a position by the
// modelview matrix current when it is set, so the origin itself is handed over under the object's
// matrix; passing the matrix's own origin column there would apply the transform twice.
void ApplyLight(Light* light) {
  static const float origin[4] = {0, 0, 0, 1};
  GLenum id = GL_LIGHT0 + light->number;
  glLightfv(id, GL_AMBIENT, light->ambient);
  glLightfv(id, GL_DIFFUSE, light->diffuse);
  glLightfv(id, GL_SPECULAR, light->specular);
  glLightfv(id, GL_POSITION, origin);
}

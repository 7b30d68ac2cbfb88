// The GL reference program's paths of buffer objects: the frame's glyph quads streamed into one
// vertex buffer, and the phrase's glyph triangles drawn once per phrase record by one instanced
// call (Win32 and OpenGL).
#include <cstddef>
#include <string>

#include "gl_reference.h"
#include "gl_reference_features.h"

namespace {

// Generic attribute slots of the instanced path's vertex shader; kAttributeNames in this order.
enum Attribute { Corner, Texel, Origin, Color };
const char* const kAttributeNames[] = {"corner", "texel", "origin", "color"};

const char kVertexShader[] = R"(#version 110
uniform mat4 projection;
attribute vec2 corner;
attribute vec2 texel;
attribute vec2 origin;
attribute vec4 color;
varying vec2 uv;
varying vec4 tint;
void main() {
  uv = texel;
  tint = color;
  gl_Position = projection * vec4(origin + corner, 0.0, 1.0);
}
)";

// The glyph state's alpha test and blending still apply to what the shader writes
// (compatibility profile), as they do to the fixed-function paths.
const char kFragmentShader[] = R"(#version 110
uniform sampler2D sheet;
varying vec2 uv;
varying vec4 tint;
void main() { gl_FragColor = texture2D(sheet, uv) * tint; }
)";

GlOffer CurrentOffer() {
  return ReadGlOffer(reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                     reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
}

// Some Windows drivers answer an unknown name with a small number instead of null.
template <typename Function>
bool LoadEntry(Function& entry, const char* name, const char* suffix, std::string& missing) {
  std::string names[2] = {name, *suffix ? name + std::string(suffix) : std::string()};
  for (const std::string& n : names) {
    if (n.empty()) continue;
    PROC found = wglGetProcAddress(n.c_str());
    INT_PTR value = reinterpret_cast<INT_PTR>(found);
    if (value < -1 || value > 3) {
      entry = reinterpret_cast<Function>(reinterpret_cast<void*>(found));
      return true;
    }
  }
  missing += missing.empty() ? name : std::string(", ") + name;
  return false;
}

#define GL_REFERENCE_LOAD(type, name, suffix) LoadEntry(gl.name, #name, suffix, missing);

PathSetup Lacking(const std::string& what) { return PathSetup{Unavailable, what}; }

// The buffer functions, and with `instancing` the shader and instancing ones too.
PathSetup LoadEntries(GlEntries& gl, bool instancing) {
  std::string missing;
  GL_REFERENCE_BUFFER_FUNCS(GL_REFERENCE_LOAD)
  if (instancing) {
    GL_REFERENCE_SHADER_FUNCS(GL_REFERENCE_LOAD)
    GL_REFERENCE_INSTANCING_FUNCS(GL_REFERENCE_LOAD)
  }
  if (missing.empty()) return PathSetup{};
  return Lacking("the driver gives no " + missing);
}

#undef GL_REFERENCE_LOAD

GLuint CompileShader(const GlEntries& gl, GLenum kind, const char* source, std::string& log) {
  GLuint shader = gl.glCreateShader(kind);
  gl.glShaderSource(shader, 1, &source, nullptr);
  gl.glCompileShader(shader);
  GLint done = GL_FALSE;
  gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &done);
  if (done == GL_TRUE) return shader;
  char text[1024] = {};
  gl.glGetShaderInfoLog(shader, sizeof text, nullptr, text);
  log = text;
  return 0;
}

// The shader pair with its attribute slots bound; 0 and the compiler's or linker's words on
// failure.
GLuint LinkProgram(const GlEntries& gl, std::string& log) {
  GLuint vertex = CompileShader(gl, GL_VERTEX_SHADER, kVertexShader, log);
  GLuint fragment = vertex ? CompileShader(gl, GL_FRAGMENT_SHADER, kFragmentShader, log) : 0;
  if (!fragment) return 0;
  GLuint program = gl.glCreateProgram();
  gl.glAttachShader(program, vertex);
  gl.glAttachShader(program, fragment);
  for (GLuint slot = Corner; slot <= Color; ++slot)
    gl.glBindAttribLocation(program, slot, kAttributeNames[slot]);
  gl.glLinkProgram(program);
  GLint done = GL_FALSE;
  gl.glGetProgramiv(program, GL_LINK_STATUS, &done);
  if (done == GL_TRUE) return program;
  char text[1024] = {};
  gl.glGetProgramInfoLog(program, sizeof text, nullptr, text);
  log = text;
  return 0;
}

// The projection the fixed-function paths draw with, as the shader's uniform.
void SetUniforms(const GlEntries& gl, GLuint program) {
  SetProjection();
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  gl.glUseProgram(program);
  gl.glUniformMatrix4fv(gl.glGetUniformLocation(program, "projection"), 1, GL_FALSE, projection);
  gl.glUniform1i(gl.glGetUniformLocation(program, "sheet"), 0);
  gl.glUseProgram(0);
}

// Static triangles in one buffer, per-phrase records in another, read once per instance.
void SetInstancedArrays(const GlFrame& f, const std::vector<PhraseCorner>& triangles) {
  const GlEntries& gl = f.buffers.gl;
  gl.glBindBuffer(GL_ARRAY_BUFFER, f.buffers.vertices);
  gl.glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(triangles.size() * sizeof(PhraseCorner)),
                  triangles.data(), GL_STATIC_DRAW);
  const GLsizei corner = sizeof(PhraseCorner);
  gl.glVertexAttribPointer(Corner, 2, GL_FLOAT, GL_FALSE, corner,
                           reinterpret_cast<void*>(offsetof(PhraseCorner, x)));
  gl.glVertexAttribPointer(Texel, 2, GL_FLOAT, GL_FALSE, corner,
                           reinterpret_cast<void*>(offsetof(PhraseCorner, u)));
  gl.glBindBuffer(GL_ARRAY_BUFFER, f.buffers.instances);
  const GLsizei record = sizeof(PhraseInstance);
  gl.glVertexAttribPointer(Origin, 2, GL_FLOAT, GL_FALSE, record,
                           reinterpret_cast<void*>(offsetof(PhraseInstance, x)));
  gl.glVertexAttribPointer(Color, 4, GL_UNSIGNED_BYTE, GL_TRUE, record,
                           reinterpret_cast<void*>(offsetof(PhraseInstance, color)));
  for (GLuint slot = Corner; slot <= Color; ++slot) gl.glEnableVertexAttribArray(slot);
  gl.glVertexAttribDivisor(Origin, 1);
  gl.glVertexAttribDivisor(Color, 1);
}

// A new store each frame (the driver may keep drawing from the last one), then the bytes.
void Stream(const GlEntries& gl, GLuint buffer, const void* data, size_t bytes) {
  gl.glBindBuffer(GL_ARRAY_BUFFER, buffer);
  gl.glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), nullptr, GL_STREAM_DRAW);
  gl.glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(bytes), data);
}

}  // namespace

PathSetup PrepareVertexBuffer(GlFrame& f) {
  std::string missing = MissingForVertexBuffer(CurrentOffer());
  if (!missing.empty()) return Lacking(missing);
  const GlEntries& gl = f.buffers.gl;
  PathSetup loaded = LoadEntries(f.buffers.gl, false);
  if (loaded.outcome != Ready) return loaded;
  f.batch.resize(size_t(f.phrases) * kGlPhraseGlyphs * 4);
  gl.glGenBuffers(1, &f.buffers.vertices);
  gl.glBindBuffer(GL_ARRAY_BUFFER, f.buffers.vertices);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  const GLsizei stride = sizeof(GlyphVertex);
  glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<void*>(offsetof(GlyphVertex, u)));
  glColorPointer(4, GL_UNSIGNED_BYTE, stride,
                 reinterpret_cast<void*>(offsetof(GlyphVertex, color)));
  glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<void*>(offsetof(GlyphVertex, x)));
  return PathSetup{};
}

// All glyph quads of the frame streamed into the vertex buffer and drawn with one call.
void DrawVertexBufferGlyphs(GlFrame& f) {
  EnterGlyphState(f.textures);
  GlyphVertex* out = f.batch.data();
  for (int i = 0; i < f.phrases; ++i)
    out = WritePhraseQuads(f.widths, NextPhrasePlace(f.widths.phraseWidth), out);
  size_t count = size_t(out - f.batch.data());
  if (count == 0) return;
  Stream(f.buffers.gl, f.buffers.vertices, f.batch.data(), count * sizeof(GlyphVertex));
  glDrawArrays(GL_QUADS, 0, GLsizei(count));
}

PathSetup PrepareInstancing(GlFrame& f) {
  std::string missing = MissingForInstancing(CurrentOffer());
  if (!missing.empty()) return Lacking(missing);
  GlEntries& gl = f.buffers.gl;
  PathSetup loaded = LoadEntries(gl, true);
  if (loaded.outcome != Ready) return loaded;
  std::string log;
  f.buffers.program = LinkProgram(gl, log);
  if (!f.buffers.program) return PathSetup{SetupFailed, "the instancing shaders: " + log};
  SetUniforms(gl, f.buffers.program);
  std::vector<PhraseCorner> triangles = PhraseTriangles(f.widths);
  f.buffers.triangleCorners = GLsizei(triangles.size());
  f.buffers.records.resize(size_t(f.phrases));
  gl.glGenBuffers(1, &f.buffers.vertices);
  gl.glGenBuffers(1, &f.buffers.instances);
  SetInstancedArrays(f, triangles);
  return PathSetup{};
}

// The phrases' records uploaded, then every phrase drawn by one instanced call.
void DrawInstancedPhrases(GlFrame& f) {
  EnterGlyphState(f.textures);
  for (PhraseInstance& record : f.buffers.records) {
    PhrasePlace p = NextPhrasePlace(f.widths.phraseWidth);
    record =
        PhraseInstance{float(p.x), float(p.y), {p.color[0], p.color[1], p.color[2], p.color[3]}};
  }
  if (f.buffers.records.empty()) return;
  const GlEntries& gl = f.buffers.gl;
  Stream(gl, f.buffers.instances, f.buffers.records.data(),
         f.buffers.records.size() * sizeof(PhraseInstance));
  gl.glUseProgram(f.buffers.program);
  gl.glDrawArraysInstanced(GL_TRIANGLES, 0, f.buffers.triangleCorners,
                           GLsizei(f.buffers.records.size()));
  gl.glUseProgram(0);
}

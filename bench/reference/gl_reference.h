// The GL reference program's drawing paths and the GL state and textures they share (Win32 and
// OpenGL; the portable work they draw is in gl_reference_workload.h).
#pragma once

#include <windows.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <string>
#include <vector>

#include "gl_reference_workload.h"

// The order of kGlPathWords.
enum GlPath { Glyphs, Phrase, Batched, Isotropic, Empty, Vbo, Instanced };
extern const char* const kGlPathWords[];
extern const int kGlPathCount;

struct GlTextures {
  GLuint sheet = 0;
  GLuint phrase = 0;
  float phraseU = 1.0f;  // the phrase's share of its texture's width
};

// The entry points beyond OpenGL 1.1 that the buffer paths call: type, name, and the suffix of the
// extension that offers the same function where the version lacks it.
// clang-format off
#define GL_REFERENCE_BUFFER_FUNCS(X) \
  X(PFNGLGENBUFFERSPROC, glGenBuffers, "ARB") \
  X(PFNGLBINDBUFFERPROC, glBindBuffer, "ARB") \
  X(PFNGLBUFFERDATAPROC, glBufferData, "ARB") \
  X(PFNGLBUFFERSUBDATAPROC, glBufferSubData, "ARB")
#define GL_REFERENCE_SHADER_FUNCS(X) \
  X(PFNGLCREATESHADERPROC, glCreateShader, "") \
  X(PFNGLSHADERSOURCEPROC, glShaderSource, "") \
  X(PFNGLCOMPILESHADERPROC, glCompileShader, "") \
  X(PFNGLGETSHADERIVPROC, glGetShaderiv, "") \
  X(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog, "") \
  X(PFNGLCREATEPROGRAMPROC, glCreateProgram, "") \
  X(PFNGLATTACHSHADERPROC, glAttachShader, "") \
  X(PFNGLBINDATTRIBLOCATIONPROC, glBindAttribLocation, "") \
  X(PFNGLLINKPROGRAMPROC, glLinkProgram, "") \
  X(PFNGLGETPROGRAMIVPROC, glGetProgramiv, "") \
  X(PFNGLGETPROGRAMINFOLOGPROC, glGetProgramInfoLog, "") \
  X(PFNGLUSEPROGRAMPROC, glUseProgram, "") \
  X(PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation, "") \
  X(PFNGLUNIFORM1IPROC, glUniform1i, "") \
  X(PFNGLUNIFORMMATRIX4FVPROC, glUniformMatrix4fv, "") \
  X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer, "") \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, glEnableVertexAttribArray, "")
#define GL_REFERENCE_INSTANCING_FUNCS(X) \
  X(PFNGLVERTEXATTRIBDIVISORPROC, glVertexAttribDivisor, "ARB") \
  X(PFNGLDRAWARRAYSINSTANCEDPROC, glDrawArraysInstanced, "ARB")
// clang-format on

struct GlEntries {
#define GL_REFERENCE_ENTRY(type, name, suffix) type name = nullptr;
  GL_REFERENCE_BUFFER_FUNCS(GL_REFERENCE_ENTRY)
  GL_REFERENCE_SHADER_FUNCS(GL_REFERENCE_ENTRY)
  GL_REFERENCE_INSTANCING_FUNCS(GL_REFERENCE_ENTRY)
#undef GL_REFERENCE_ENTRY
};

// The buffer objects and shader program of the vbo and instanced paths.
struct GlBuffers {
  GlEntries gl;
  GLuint vertices = 0;   // vbo: the frame's quads; instanced: the phrase's triangles
  GLuint instances = 0;  // instanced: one record per phrase
  GLuint program = 0;
  GLsizei triangleCorners = 0;
  std::vector<PhraseInstance> records;
};

struct GlFrame {
  GlPath path = Glyphs;
  int32_t phrases = kGlDefaultPhrases;
  GlyphWidths widths;
  GlTextures textures;
  std::vector<GlyphVertex> batch;  // batched and vbo: the frame's quads on the CPU side
  GlBuffers buffers;
};

// gl_reference_state.cpp: glyphstorm's state and textures.
void SetDefaultState();
bool LoadSheet(GlTextures& t, std::vector<unsigned char>& rgba, int& size);
void MakePhraseTexture(GlTextures& t, const GlyphWidths& widths,
                       const std::vector<unsigned char>& sheet, int size, bool anisotropic);
void SetProjection();
void EnterGlyphState(const GlTextures& t);
void LeaveGlyphState();

// gl_reference_immediate.cpp: the paths of GL 1.1.
void DrawGlyphs(const GlyphWidths& widths, const char* text, int x, int y);
void DrawGlyphPhrases(const GlFrame& f);
void DrawPhraseQuads(const GlFrame& f);
void PrepareBatch(GlFrame& f);
void DrawBatchedGlyphs(GlFrame& f);

enum SetupOutcome { Ready, Unavailable, SetupFailed };
struct PathSetup {
  SetupOutcome outcome = Ready;
  std::string reason;  // what this desktop's GL lacks, or what failed
};

// gl_reference_buffers.cpp: the paths of buffer objects, set up once a context is current.
PathSetup PrepareVertexBuffer(GlFrame& f);
void DrawVertexBufferGlyphs(GlFrame& f);
PathSetup PrepareInstancing(GlFrame& f);
void DrawInstancedPhrases(GlFrame& f);

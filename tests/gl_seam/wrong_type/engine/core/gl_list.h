// Stands in for engine/core/gl_list.h when gl_table.cpp is compiled for the wrong-type test: each
// list has one entry as the headers declare it and one whose parameter type differs.
#pragma once

enum GlFetchGroup { GlFetchExtensions, GlFetchSwapInterval };

// clang-format off
#define GS_GL_CORE_FUNCS(X) \
  X(void, glBegin, (GLenum mode), (mode)) \
  X(void, glClearDepth, (GLfloat depth), (depth))

#define GS_GL_EXT_FUNCS(X) \
  X(void, glActiveTexture, (GLenum texture), (texture), GlFetchExtensions, nullptr, nullptr, \
    nullptr) \
  X(BOOL, wglSwapIntervalEXT, (GLdouble interval), (interval), GlFetchSwapInterval, nullptr, \
    nullptr, nullptr)
// clang-format on

// The OpenGL, GLU and WGL functions the engine calls, as one list. It generates the call table
// (gl_api.h), its binding to opengl32/glu32 (gl_table.cpp), the recorder (gl_recorder.cpp) and
// the extension probe (extensions.cpp).
// X(return type, name, parameter list, argument list)
#pragma once

// Groups of extension entry points; the start-up log puts an empty line before each group.
enum GlFetchGroup { GlFetchExtensions, GlFetchSwapInterval };

// clang-format off
#define GS_GL_CORE_FUNCS(X) \
  X(void, glAlphaFunc, (GLenum func, GLclampf ref), (func, ref)) \
  X(void, glBegin, (GLenum mode), (mode)) \
  X(void, glBindTexture, (GLenum target, GLuint texture), (target, texture)) \
  X(void, glBlendFunc, (GLenum sfactor, GLenum dfactor), (sfactor, dfactor)) \
  X(void, glClear, (GLbitfield mask), (mask)) \
  X(void, glClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), (r, g, b, a)) \
  X(void, glClearDepth, (GLclampd depth), (depth)) \
  X(void, glColor3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b)) \
  X(void, glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a)) \
  X(void, glCullFace, (GLenum mode), (mode)) \
  X(void, glDeleteLists, (GLuint list, GLsizei range), (list, range)) \
  X(void, glDeleteTextures, (GLsizei n, const GLuint* textures), (n, textures)) \
  X(void, glDepthFunc, (GLenum func), (func)) \
  X(void, glDepthMask, (GLboolean flag), (flag)) \
  X(void, glDisable, (GLenum cap), (cap)) \
  X(void, glEnable, (GLenum cap), (cap)) \
  X(void, glEnd, (void), ()) \
  X(void, glFinish, (void), ()) \
  X(void, glFrontFace, (GLenum mode), (mode)) \
  X(GLuint, glGenLists, (GLsizei range), (range)) \
  X(void, glGenTextures, (GLsizei n, GLuint* textures), (n, textures)) \
  X(GLenum, glGetError, (void), ()) \
  X(void, glGetFloatv, (GLenum pname, GLfloat* params), (pname, params)) \
  X(void, glGetIntegerv, (GLenum pname, GLint* params), (pname, params)) \
  X(const GLubyte*, glGetString, (GLenum name), (name)) \
  X(void, glHint, (GLenum target, GLenum mode), (target, mode)) \
  X(void, glInterleavedArrays, (GLenum format, GLsizei stride, const GLvoid* pointer), \
    (format, stride, pointer)) \
  X(void, glLightfv, (GLenum light, GLenum pname, const GLfloat* params), (light, pname, params)) \
  X(void, glLoadIdentity, (void), ()) \
  X(void, glLoadMatrixf, (const GLfloat* m), (m)) \
  X(void, glMatrixMode, (GLenum mode), (mode)) \
  X(void, glNormal3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z)) \
  X(void, glOrtho, (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f), \
    (l, r, b, t, n, f)) \
  X(void, glPopMatrix, (void), ()) \
  X(void, glPushMatrix, (void), ()) \
  X(void, glReadPixels, (GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type, \
                         GLvoid* pixels), (x, y, w, h, format, type, pixels)) \
  X(void, glRotatef, (GLfloat angle, GLfloat x, GLfloat y, GLfloat z), (angle, x, y, z)) \
  X(void, glScalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z)) \
  X(void, glShadeModel, (GLenum mode), (mode)) \
  X(void, glTexCoord2f, (GLfloat s, GLfloat t), (s, t)) \
  X(void, glTexEnvf, (GLenum target, GLenum pname, GLfloat param), (target, pname, param)) \
  X(void, glTexEnvi, (GLenum target, GLenum pname, GLint param), (target, pname, param)) \
  X(void, glTexGeni, (GLenum coord, GLenum pname, GLint param), (coord, pname, param)) \
  X(void, glTexImage2D, (GLenum target, GLint level, GLint internalFormat, GLsizei w, GLsizei h, \
                         GLint border, GLenum format, GLenum type, const GLvoid* pixels), \
    (target, level, internalFormat, w, h, border, format, type, pixels)) \
  X(void, glTexParameterf, (GLenum target, GLenum pname, GLfloat param), (target, pname, param)) \
  X(void, glTexParameteri, (GLenum target, GLenum pname, GLint param), (target, pname, param)) \
  X(void, glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z)) \
  X(void, glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z)) \
  X(void, glViewport, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h)) \
  X(void, gluPerspective, (GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar), \
    (fovy, aspect, zNear, zFar)) \
  X(GLint, gluBuild2DMipmaps, (GLenum target, GLint components, GLint w, GLint h, GLenum format, \
                               GLenum type, const void* data), \
    (target, components, w, h, format, type, data)) \
  X(HGLRC, wglCreateContext, (HDC dc), (dc)) \
  X(BOOL, wglDeleteContext, (HGLRC rc), (rc)) \
  X(BOOL, wglMakeCurrent, (HDC dc, HGLRC rc), (dc, rc)) \
  X(PROC, wglGetProcAddress, (LPCSTR name), (name)) \
  X(BOOL, wglUseFontBitmapsW, (HDC dc, DWORD first, DWORD count, DWORD listBase), \
    (dc, first, count, listBase))

// Extension entry points: fetched at start-up with wglGetProcAddress, null when the driver lacks
// them; callers test for null before every call. The start-up probe walks this list in order:
// X(return type, name, parameter list, argument list, fetch group, line logged when found,
//   line logged when missing, capability set when found); nullptr: no line, no capability.
#define GS_GL_EXT_FUNCS(X) \
  X(void, glTexImage3D, (GLenum target, GLint level, GLint internalFormat, GLsizei w, GLsizei h, \
                         GLsizei d, GLint border, GLenum format, GLenum type, const void* pixels), \
    (target, level, internalFormat, w, h, d, border, format, type, pixels), \
    GlFetchExtensions, nullptr, nullptr, nullptr) \
  X(void, glGenBuffersARB, (GLsizei n, GLuint* buffers), (n, buffers), \
    GlFetchExtensions, "glGenBuffersARB init", "glGenBuffersARB not init", nullptr) \
  X(void, glBindBufferARB, (GLenum target, GLuint buffer), (target, buffer), \
    GlFetchExtensions, "glBindBufferARB init", "glBindBufferARB not init", nullptr) \
  X(void, glBufferDataARB, (GLenum target, GLsizeiptrARB size, const void* data, GLenum usage), \
    (target, size, data, usage), \
    GlFetchExtensions, "glBufferDataARB init", "glBufferDataARB not init", nullptr) \
  X(void, glDeleteBuffersARB, (GLsizei n, const GLuint* buffers), (n, buffers), \
    GlFetchExtensions, "glDeleteBuffersARB init", "glDeleteBuffersARB not init", nullptr) \
  X(void, glDrawRangeElements, (GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type, \
                                const void* indices), (mode, start, end, count, type, indices), \
    GlFetchExtensions, "glDrawRangeElements init", "glDrawRangeElements not init", nullptr) \
  X(void, glCompressedTexImage2DARB, (GLenum target, GLint level, GLenum internalFormat, \
                                      GLsizei w, GLsizei h, GLint border, GLsizei size, \
                                      const void* data), \
    (target, level, internalFormat, w, h, border, size, data), \
    GlFetchExtensions, "glCompressedTexImage2D init", \
    "glCompressedTexImage2D not init", "texture_compressing") \
  X(void, glDrawArraysInstancedEXT, (GLenum mode, GLint start, GLsizei count, GLsizei instances), \
    (mode, start, count, instances), \
    GlFetchExtensions, "glDrawArraysInstancedEXT init", \
    "glDrawArraysInstancedEXT not init", nullptr) \
  X(void, glDrawElementsInstancedEXT, (GLenum mode, GLsizei count, GLenum type, \
                                       const void* indices, GLsizei instances), \
    (mode, count, type, indices, instances), \
    GlFetchExtensions, "glDrawElementsInstancedEXT init", \
    "glDrawElementsInstancedEXT not init", "instansing") \
  X(void, glActiveTexture, (GLenum texture), (texture), \
    GlFetchExtensions, "glActiveTexture init", "glActiveTexture not init", nullptr) \
  X(GLhandleARB, glCreateShaderObjectARB, (GLenum type), (type), \
    GlFetchExtensions, "glCreateShaderObjectARB init", \
    "glCreateShaderObjectARB not init", "shaders") \
  X(GLhandleARB, glCreateProgramObjectARB, (void), (), \
    GlFetchExtensions, "glCreateProgramObjectARB init", \
    "glCreateProgramObjectARB not init", nullptr) \
  X(void, glAttachObjectARB, (GLhandleARB program, GLhandleARB shader), (program, shader), \
    GlFetchExtensions, "glAttachObjectARB init", "glAttachObjectARB not init", nullptr) \
  X(void, glDetachObjectARB, (GLhandleARB program, GLhandleARB shader), (program, shader), \
    GlFetchExtensions, "glDetachObjectARB init", "glDetachObjectARB not init", nullptr) \
  X(void, glDeleteObjectARB, (GLhandleARB object), (object), \
    GlFetchExtensions, "glDeleteObjectARB init", "glDeleteObjectARB not init", nullptr) \
  X(void, glShaderSourceARB, (GLhandleARB shader, GLsizei count, const GLcharARB** strings, \
                              const GLint* lengths), (shader, count, strings, lengths), \
    GlFetchExtensions, "glShaderSourceARB init", "glShaderSourceARB not init", nullptr) \
  X(void, glCompileShaderARB, (GLhandleARB shader), (shader), \
    GlFetchExtensions, "glCompileShaderARB init", "glCompileShaderARB not init", nullptr) \
  X(void, glLinkProgramARB, (GLhandleARB program), (program), \
    GlFetchExtensions, "glLinkProgramARB init", "glLinkProgramARB not init", nullptr) \
  X(void, glValidateProgramARB, (GLhandleARB program), (program), \
    GlFetchExtensions, "glValidateProgramARB init", "glValidateProgramARB not init", nullptr) \
  X(void, glUseProgramObjectARB, (GLhandleARB program), (program), \
    GlFetchExtensions, "glUseProgramObjectARB init", "glUseProgramObjectARB not init", nullptr) \
  X(void, glGetObjectParameterivARB, (GLhandleARB object, GLenum pname, GLint* params), \
    (object, pname, params), \
    GlFetchExtensions, "glGetObjectParameterivARB init", \
    "glGetObjectParameterivARB not init", nullptr) \
  X(void, glGetInfoLogARB, (GLhandleARB object, GLsizei size, GLsizei* length, GLcharARB* log), \
    (object, size, length, log), \
    GlFetchExtensions, "glGetInfoLogARB init", "glGetInfoLogARB not init", nullptr) \
  X(void, glUniform1fARB, (GLint location, GLfloat v), (location, v), \
    GlFetchExtensions, "glUniform1fARB init", "glUniform1fARB not init", nullptr) \
  X(void, glUniform1iARB, (GLint location, GLint v), (location, v), \
    GlFetchExtensions, "glUniform1iARB init", "glUniform1iARB not init", nullptr) \
  X(GLint, glGetUniformLocationARB, (GLhandleARB program, const GLcharARB* name), \
    (program, name), \
    GlFetchExtensions, "glGetUniformLocationARB init", \
    "glGetUniformLocationARB not init", nullptr) \
  X(BOOL, wglSwapIntervalEXT, (int interval), (interval), \
    GlFetchSwapInterval, "wglSwapIntervalEXT init", "wglSwapIntervalEXTnot init", nullptr) \
  X(int, wglGetSwapIntervalEXT, (void), (), \
    GlFetchSwapInterval, "wglGetSwapIntervalEXT init", "wglGetSwapIntervalEXT not init", nullptr)
// clang-format on

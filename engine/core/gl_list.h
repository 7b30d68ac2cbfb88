// The OpenGL, GLU and WGL functions the engine calls, as one list. It generates the call table
// (gl_api.h), its binding to opengl32/glu32 (gl_table.cpp) and the recorder (gl_recorder.cpp).
// X(return type, name, parameter list, argument list)
#pragma once

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
// them. Callers test for null before every call.
#define GS_GL_EXT_FUNCS(X) \
  X(void, glTexImage3D, (GLenum target, GLint level, GLint internalFormat, GLsizei w, GLsizei h, \
                         GLsizei d, GLint border, GLenum format, GLenum type, const void* pixels), \
    (target, level, internalFormat, w, h, d, border, format, type, pixels)) \
  X(void, glGenBuffersARB, (GLsizei n, GLuint* buffers), (n, buffers)) \
  X(void, glBindBufferARB, (GLenum target, GLuint buffer), (target, buffer)) \
  X(void, glBufferDataARB, (GLenum target, GLsizeiptrARB size, const void* data, GLenum usage), \
    (target, size, data, usage)) \
  X(void, glDeleteBuffersARB, (GLsizei n, const GLuint* buffers), (n, buffers)) \
  X(void, glDrawRangeElements, (GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type, \
                                const void* indices), (mode, start, end, count, type, indices)) \
  X(void, glCompressedTexImage2DARB, (GLenum target, GLint level, GLenum internalFormat, \
                                      GLsizei w, GLsizei h, GLint border, GLsizei size, \
                                      const void* data), \
    (target, level, internalFormat, w, h, border, size, data)) \
  X(void, glDrawArraysInstancedEXT, (GLenum mode, GLint start, GLsizei count, GLsizei instances), \
    (mode, start, count, instances)) \
  X(void, glDrawElementsInstancedEXT, (GLenum mode, GLsizei count, GLenum type, \
                                       const void* indices, GLsizei instances), \
    (mode, count, type, indices, instances)) \
  X(void, glActiveTexture, (GLenum texture), (texture)) \
  X(GLhandleARB, glCreateShaderObjectARB, (GLenum type), (type)) \
  X(GLhandleARB, glCreateProgramObjectARB, (void), ()) \
  X(void, glAttachObjectARB, (GLhandleARB program, GLhandleARB shader), (program, shader)) \
  X(void, glDetachObjectARB, (GLhandleARB program, GLhandleARB shader), (program, shader)) \
  X(void, glDeleteObjectARB, (GLhandleARB object), (object)) \
  X(void, glShaderSourceARB, (GLhandleARB shader, GLsizei count, const GLcharARB** strings, \
                              const GLint* lengths), (shader, count, strings, lengths)) \
  X(void, glCompileShaderARB, (GLhandleARB shader), (shader)) \
  X(void, glLinkProgramARB, (GLhandleARB program), (program)) \
  X(void, glValidateProgramARB, (GLhandleARB program), (program)) \
  X(void, glUseProgramObjectARB, (GLhandleARB program), (program)) \
  X(void, glGetObjectParameterivARB, (GLhandleARB object, GLenum pname, GLint* params), \
    (object, pname, params)) \
  X(void, glGetInfoLogARB, (GLhandleARB object, GLsizei size, GLsizei* length, GLcharARB* log), \
    (object, size, length, log)) \
  X(void, glUniform1fARB, (GLint location, GLfloat v), (location, v)) \
  X(void, glUniform1iARB, (GLint location, GLint v), (location, v)) \
  X(GLint, glGetUniformLocationARB, (GLhandleARB program, const GLcharARB* name), \
    (program, name)) \
  X(BOOL, wglSwapIntervalEXT, (int interval), (interval)) \
  X(int, wglGetSwapIntervalEXT, (void), ())
// clang-format on

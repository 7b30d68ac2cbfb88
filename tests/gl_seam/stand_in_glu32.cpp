// A glu32.dll that lacks gluBuild2DMipmaps, for the test of a start-up without it.
#include <windows.h>

#include <GL/gl.h>

extern "C" __declspec(dllexport) void APIENTRY
    gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) {}

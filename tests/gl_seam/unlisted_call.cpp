// Written as engine code is: the listed calls go through the table, glLineWidth is not listed.
#include "engine/core/gl_api.h"

int main() {
  glBegin(GL_LINES);
  glEnd();
  glLineWidth(2.0f);
  return 0;
}

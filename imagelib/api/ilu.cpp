// The utility part of the image library: its version and start.
#include <IL/ilu.h>

extern "C" {

void ILAPIENTRY iluInit(void) {}

ILint ILAPIENTRY iluGetInteger(ILenum Mode) { return Mode == ILU_VERSION_NUM ? 180 : 0; }

}  // extern "C"

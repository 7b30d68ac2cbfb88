// The two ILU calls of the conformance driver, for its native build against the scripted library.
#include <IL/ilu.h>

extern "C" {
void ILAPIENTRY iluInit(void) {}
ILint ILAPIENTRY iluGetInteger(ILenum) { return 0; }
}

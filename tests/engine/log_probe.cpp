// Writes a known set of log lines, so the harness can prove it reads the log of a real run back
// byte for byte from Wine's debugger output.
#include "engine/core/engine_state.h"

int main() {
  engineLog << "width=" << 640 << std::endl;
  engineLog << "Версия библиотеки:" << 33751040u << std::endl;
  engineLog << "" << std::endl;
  engineLog << " " << std::endl;
  engineLog << "quote\" backslash\\ tab\t bytes \x01\x7f\xff end" << std::endl;
  engineLog << "DeInit" << std::endl << "Logging closed" << std::endl;
  engineLog.close();
  engineLog << "never seen" << std::endl;
  return 3;
}

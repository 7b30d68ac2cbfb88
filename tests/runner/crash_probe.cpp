// Test helper: reads through a null pointer, the plainest crash a Windows program can have.
int main() {
  volatile int* nowhere = nullptr;
  return *nowhere;
}

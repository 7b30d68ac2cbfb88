// The calling convention a header gets when its API macro comes out empty.
int __cdecl ProbeCall(int value, char flag);

// __stdcall, but 12 argument bytes: the callee would pop more than the callers pushed.
int __stdcall ProbeCall(int value, double scale);

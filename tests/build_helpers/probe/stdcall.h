// As the export list says: __stdcall, 8 argument bytes (a char takes a whole slot).
int __stdcall ProbeCall(int value, char flag);

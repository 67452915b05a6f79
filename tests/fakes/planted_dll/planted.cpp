// A DLL that a test plants under a system DLL's name: the one export shows whether the loader took it.
extern "C" __declspec(dllexport) int planted_marker() { return 1; }

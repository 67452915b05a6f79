// The program's own atomic save, built into the store writer.
#include "runtime/file_io_win.cpp"

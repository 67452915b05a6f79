// The program's entry point.
#include <windows.h>

#include "app/program_start.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { program_main(); }

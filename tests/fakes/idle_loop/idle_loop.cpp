// The benchmark's yardstick: a window that does nothing but run its message loop.
#include "tests/fakes/hidden_window.h"

int wmain() { return hidden_window::run(L"IdleLoop", L"Idle loop"); }

// What a failed restart says.
#include "core/program_restart.h"

#include "core/language.h"

std::wstring restart_failed_text() { return tr(L"Restart") + L": " + tr(L"Failed"); }

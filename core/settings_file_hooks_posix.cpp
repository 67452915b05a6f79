// The windowing hooks in the native build: there are no windows.
#include "core/settings_file_hooks.h"

SettingsUiHooks settings_ui_hooks_platform() { return SettingsUiHooks{}; }

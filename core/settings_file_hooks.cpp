// The windowing layer's hooks for the settings, positions, colour lists and log buffer.
#include "core/settings_file_hooks.h"

#include <mutex>

#include "runtime/leaf_lock.h"

namespace {

LeafLock hooks_lock("SettingsHooksLock");  // held only while the hooks are copied
SettingsUiHooks installed;

}  // namespace

void settings_ui_hooks_set(const SettingsUiHooks& hooks) {
    std::lock_guard guard(hooks_lock);
    installed = hooks;
}

SettingsUiHooks settings_ui_hooks() {
    std::lock_guard guard(hooks_lock);
    return installed;
}

// The program's entry point.
#include <windows.h>

#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/startup_facts.h"
#include "core/version.h"
#include "runtime/date.h"
#include "runtime/http_get.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    program_lock_set_main_thread();
    http_global_init();
    shared_tables_init();
    const SharedStateFacts facts = startup_facts_gather();
    shared_state_init(facts);
    data_files_init(program_path(), facts.appdata_folder, date_now());

    const int language = language_from_primary(user_primary_language());
    SharedInts[LANGUAGE] = language;
    text_maps_load(language);
    data_files_translate();

    const std::wstring text = std::wstring(program_name()) + L" " + version_text() + L"\r\n" + language_splash_line(language) +
                              L"\r\n" + shared_text(CPU_BRAND_TEXT) + L" (" + std::to_wstring(SharedInts[CPU_COUNT].load()) + L")";
    MessageBoxW(nullptr, text.c_str(), program_name(), MB_OK | MB_ICONINFORMATION);
    return 0;
}

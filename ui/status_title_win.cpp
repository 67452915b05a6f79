// The status title's writer on Windows: the title of the main window, when it exists.
#include "core/control_numbers.h"
#include "runtime/gui/window/window.h"
#include "ui/status_title.h"

namespace {

// Any thread: the runtime hands a title set from a worker to the main thread without waiting.
void main_window_title_write(std::wstring_view title) { window_title_set(WIN_MAIN, title); }

}  // namespace

void status_title_install() { status_title_set_writer(main_window_title_write); }

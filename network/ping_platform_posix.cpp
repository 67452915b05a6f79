// The ping monitor's network and windows in the native build: nothing answers, nothing is drawn.
#include "network/ping_monitor.h"

namespace {

void no_echo(const uint32_t*, size_t count, int, EchoResult* results) {
    for (size_t n = 0; n < count; ++n) results[n] = {};
}
std::wstring no_mac(uint32_t) { return {}; }
void nothing() {}
uint64_t unlimited() { return UINT64_MAX; }
void nothing_int(int) {}
void nothing_text(const std::wstring&) {}
void nothing_message(std::wstring_view) {}
void nothing_title(const std::wstring&, int) {}
bool no_control(int) { return false; }
std::wstring empty_text(int) { return {}; }
void nothing_control_text(int, const std::wstring&) {}
int no_item() { return -1; }

}  // namespace

const PingPlatform& ping_platform_default() {
    static const PingPlatform platform{no_echo, nullptr, no_mac, nothing, nothing, unlimited};
    return platform;
}

const PingUi& ping_ui_default() {
    static const PingUi ui{nothing_message, nothing,      nothing_int,
                           nothing,         nothing_text, nothing_title,
                           no_control,      empty_text,   nothing_control_text,
                           no_item,         nothing_int,  nothing_text,
                           nothing_text,    nothing_text, nothing,
                           nothing,         nothing,      nothing_int};
    return ui;
}

int64_t dns_library_load(int) { return 0; }
uint32_t dns_resolve_ipv4(const std::wstring&) { return 0; }
std::wstring dns_reverse_lookup(uint32_t) { return {}; }

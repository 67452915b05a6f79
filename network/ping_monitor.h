// The ping monitor: its questions to the network and its actions on the windows as tables of procedures,
// the probe pool of a round, the requests of the Ping tab and the monitor thread's loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/shared_tables.h"
#include "network/host_naming.h"
#include "runtime/date.h"

// One echo's outcome. A reply counts only when answered; ttl and tos are the reply's bytes (0 without one).
struct EchoResult {
    bool answered = false;
    int32_t time_ms = 0;
    int32_t ttl = 0;
    int32_t tos = 0;
};

// What the ping monitor asks of the network; the tests replace it. Every call is bounded and may run on
// several probe threads at once.
struct PingPlatform {
    EchoResult (*echo)(uint32_t address, int timeout_ms);
    DnsQueryFirst dns_query;  // null: DNS is not bound
    std::wstring (*arp_mac_address)(
        uint32_t address);  // "00:1A:2B:3C:4D:5E" or empty; only asked for private addresses
    void (*bind)();         // the monitor's start: the ARP binding
    // The monitor's start: waits for the wall clock's next second and records the millisecond clock's phase
    // against it (SecondPhaseMs); a quit ends the wait at once.
    void (*second_wait)();
    // Bytes of address space the process can still reserve (under Wine every thread takes two megabytes).
    uint64_t (*address_space_left)();
};

// What the monitor does to the windows; the tests replace it. None of them may wait for the main thread
// without a bound; none is called while PingListMutex is held, except list_draw.
struct PingUi {
    // The status line: a message (held there for a while; the monitor's expiry brings the header back), or
    // with the empty text the header, unless a message is still held.
    void (*status_line_draw)(std::wstring_view message);
    void (*list_draw)();
    void (*canvas_grow)(int force);
    void (*scroll_to_end)();
    void (*now_button_set)(const std::wstring& text);
    void (*title_set)(const std::wstring& text, int seconds);  // the main window's status title
    bool (*control_exists)(int control);
    std::wstring (*control_text)(int control);
    void (*control_text_set)(int control, const std::wstring& text);
    int (*slow_item)();  // chosen item of COMBO_PING_SLOW, -1 when it does not exist
    void (*font_apply)(int size);
    void (*clipboard_set)(const std::wstring& text);
    // Starts MSTSC.EXE with the parameters, and opens an http address with the shell's default handler.
    void (*remote_desktop_start)(const std::wstring& parameters);
    void (*url_open)(const std::wstring& url);
    void (*cell_draw)();
    void (*copy_tab)();                  // the Ping tab's clipboard copy (COPY_TAB_REQUEST)
    void (*layout_measure)();            // the layout metrics of the list font (at the start and after a font change)
    void (*data_panel_draw)(int force);  // the data-file panel (1: now, whatever its refresh time)
};

// The real network and windows on Windows; natively nothing answers and nothing is drawn.
const PingPlatform& ping_platform_default();
const PingUi& ping_ui_default();
// The wiring installs the Ping tab's drawing once the tab exists: fields left null keep the default.
void ping_ui_install(const PingUi& ui);
const PingUi& ping_ui();

// The round's probes: a thread per active host, so that a round lasts about as long as its slowest host (an
// echo time-out and a name lookup) however many hosts there are. The list holds at most this many hosts; a
// longer one would have its hosts shared among the threads. Each thread reserves a small stack: a probe only
// waits in an echo or a lookup, and 1024 default stacks would take a gigabyte of an i386 process's address space.
inline constexpr int PING_PROBE_THREADS_MAX = 1024;
inline constexpr size_t PING_PROBE_STACK_BYTES = 64 * 1024;
// The pool stops growing while less address space than this is left: an i386 process under Wine (where a thread
// takes two megabytes whatever its stack) keeps room for its stores and bitmaps, and the threads there are
// take the remaining hosts in turn.
inline constexpr uint64_t PING_PROBE_SPACE_KEPT = uint64_t{1} << 30;
// The monitor's pass.
inline constexpr int PING_PASS_MS = 75;

// A message of the Ping tab: STATUS_MESSAGE, the title for 20 s and the status line, which holds it until the
// message expiry (PING_MESSAGE_UNTIL, set by the status line's drawing) brings the header back.
void ping_message(const PingUi& ui, const std::wstring& text);

// One round: probes on every active host, then the range clean-up and the counting. The probes run on a pool
// that lives from round to round (PingThreads lists it): it grows to the number of active hosts, at most
// PING_PROBE_THREADS_MAX, and never shrinks, so later rounds start no threads. Returns false when a quit ended
// it early (nothing counted then).
bool ping_round_run(const PingPlatform& platform, const PingUi& ui, Date now);

// Wakes the pool's waiting probe threads once QUIT_FLAG is set, so they end.
void ping_probes_release();

// The work of one probe thread: takes hosts through PingCursor under PingListMutex until none is left or
// QUIT_FLAG is set, pings each and records the reply and, for a host still to be named, its name.
void ping_probe_work(const PingPlatform& platform);

// The name of a host that answered: reverse DNS, else the vendor of a private host's hardware address, else
// that address in lower case; empty when all fail.
std::wstring ping_host_name(const PingPlatform& platform, uint32_t address);

// Serves the Ping tab's requests once, in their order (Part of every pass).
struct PingSortState {
    int last_column = 0;
    int direction = 0;
};
void ping_requests_serve(const PingUi& ui, PingSortState& sort);

// The clipboard log of one host (CR LF line ends).
std::wstring ping_host_log_text(const PSys& host, Date now);

// Rounds begin this far into the wall clock's second, so that a round's date is the second it was started in
// even when the millisecond clock and the wall clock drift a little apart.
inline constexpr int PING_SECOND_PHASE_MS = 100;

// The monitor's start (the wait for its phase in the second, store, preparation, vendor list) and its loop until
// QUIT_FLAG. A quit during the start's waits ends the start there, before the store is loaded.
void ping_monitor_start(const PingPlatform& platform, const PingUi& ui);
void ping_monitor_run(const PingPlatform& platform, const PingUi& ui);
// One pass without its pause (tests drive passes with it).
void ping_monitor_pass(const PingPlatform& platform, const PingUi& ui, PingSortState& sort);

// The thread procedure (argument ignored).
void ping_monitor_thread(int64_t argument);

// DNS on the real network (Windows; natively nothing resolves).
int64_t dns_library_load(int number);
uint32_t dns_resolve_ipv4(const std::wstring& name);
std::wstring dns_reverse_lookup(uint32_t address);

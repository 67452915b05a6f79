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

// The most echoes a batch sends at once: a batch waits for an event per echo, and Windows waits for at most
// MAXIMUM_WAIT_OBJECTS (64) objects in one call.
inline constexpr size_t PING_ECHO_BATCH = 64;
// How long a batch's wait may run past its echo time-out (the replies' delivery, which under Wine queues behind
// every other echo of the round) before the batch gives its echoes up as unanswered.
inline constexpr int PING_ECHO_MARGIN_MS = 2000;
// An echo that the system turns away unsent (Wine's ICMP service holds at most 256 echoes at once) goes again
// once its batch's other echoes have ended, as long as the batch is within this many time-outs of its start:
// a full list of silent hosts passes through those 256 in four, and a busy machine needs some more.
inline constexpr int PING_ECHO_WAVES = 6;

// What the ping monitor asks of the network; the tests replace it. Every call is bounded and may run on
// several probe threads at once.
struct PingPlatform {
    // Sends count echoes (at most PING_ECHO_BATCH) at once, one to each address, and returns when every one
    // has answered or timed out: results[n] is the outcome of addresses[n]. That takes one time-out, plus
    // PING_ECHO_MARGIN_MS at most; echoes turned away unsent may go again, up to PING_ECHO_WAVES time-outs
    // in all. An echo that could not be sent is unanswered.
    void (*echo_batch)(const uint32_t* addresses, size_t count, int timeout_ms, EchoResult* results);
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

// The round's probes: a pool of threads, each of which sends a batch of up to PING_ECHO_BATCH echoes at once
// and waits for them together, so that a round lasts about as long as its slowest host (an echo time-out and a
// name lookup) however many hosts there are. Hosts that answer for the first time are named by whichever
// threads have no batch left, PING_NAMING_THREADS of them beyond the batches' own, so that the lookups of a
// full list do not queue behind one another. The pool never has more threads than active hosts, and at most
// PING_PROBE_THREADS_MAX, enough for the longest list (PING_HOSTS_MAX, 1024 hosts); a longer one would have
// its batches taken in turn. A probe only waits in an echo batch or a lookup: its stack is small.
inline constexpr int PING_NAMING_THREADS = 8;
inline constexpr int PING_PROBE_THREADS_MAX = 1024 / static_cast<int>(PING_ECHO_BATCH) + PING_NAMING_THREADS;
inline constexpr size_t PING_PROBE_STACK_BYTES = 64 * 1024;
// The pool stops growing while less address space than this is left: an i386 process under Wine (where a thread
// takes two megabytes whatever its stack) keeps room for its stores and bitmaps, and the threads there are
// take the remaining batches and names in turn.
inline constexpr uint64_t PING_PROBE_SPACE_KEPT = uint64_t{1} << 30;
// The monitor's pass.
inline constexpr int PING_PASS_MS = 75;

// A message of the Ping tab: STATUS_MESSAGE, the title for 20 s and the status line, which holds it until the
// message expiry (PING_MESSAGE_UNTIL, set by the status line's drawing) brings the header back.
void ping_message(const PingUi& ui, const std::wstring& text);

// One round: an echo to every active host and the names of the first replies, then the range clean-up and the
// counting. The probes run on a pool that lives from round to round (PingThreads lists it): it grows to a
// thread per batch of active hosts and PING_NAMING_THREADS more (never more than the active hosts, at most
// PING_PROBE_THREADS_MAX) and never shrinks, so later rounds start no threads. The round ends when every batch
// and every name is done. Returns false when a quit ended it early (nothing counted then).
bool ping_round_run(const PingPlatform& platform, const PingUi& ui, Date now);

// Wakes the pool's waiting probe threads once QUIT_FLAG is set, so they end.
void ping_probes_release();

// The work of one probe thread in the running round, until it has none left or QUIT_FLAG is set: takes up to
// PING_ECHO_BATCH active hosts through PingCursor under PingListMutex, echoes them as one batch, records each
// reply and queues the hosts still to be named; with no batch left, takes the queued names, and ends once no
// batch is running and no name is queued.
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

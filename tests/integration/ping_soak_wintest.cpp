// The real Sotrix.exe pinging 50 hosts every second for ten minutes with the Ping tab shown, in a network of its
// own: its memory stays flat after the warm-up, its window answers at every look, every host's counts keep
// growing, and "shutdown" ends it cleanly with the counts saved. SOTRIX_SOAK_SECONDS shortens the run.
#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include "integration/ping_store_fixture.h"
#include "integration/program_support.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "core/settings_code.h"
#include "runtime/text.h"

namespace {

constexpr int HOST_COUNT = 50;
constexpr const char* SILENT_HOST = "10.77.0.9";  // answers nothing inside the test network
constexpr int SOAK_SECONDS_DEFAULT = 600;
constexpr int SAMPLE_SECONDS = 30;
// Start-up, the first round 10 s after the start, fonts, the first growth of the hosts' sample lists and of
// Wine's heaps all come in the first minute; what follows must be flat.
constexpr int WARM_UP_SECONDS = 60;
// What the memory may still grow after the warm-up. Each host keeps up to 3200 samples, so ten minutes of
// rounds legitimately add 50 x 540 samples (well under 1 MB, in steps as the lists' storage doubles), and
// Wine's heaps and the GDI caches move by a megabyte or two. A leak of a single small block per host and
// round (64 bytes) adds 1.7 MB in those nine minutes, one of a row text or a bitmap far more: 4 MB, or 5% of
// a large program, catches the leaks that matter without failing on that noise.
constexpr size_t GROWTH_BOUND_BYTES = 4u << 20;
constexpr double GROWTH_BOUND_SHARE = 0.05;
constexpr int ANSWER_MS = 5000;
constexpr int COPY_MS = 20000;

int soak_seconds() {
    const char* text = std::getenv("SOTRIX_SOAK_SECONDS");
    const int seconds = text ? std::atoi(text) : 0;
    return seconds > 0 ? seconds : SOAK_SECONDS_DEFAULT;
}

// 49 loopback hosts 127.0.0.1 to 127.0.0.49 and the silent one, whose probes wait out the time-out each round.
std::vector<std::string> soak_addresses() {
    std::vector<std::string> addresses;
    for (int i = 1; i < HOST_COUNT; ++i) addresses.push_back("127.0.0." + std::to_string(i));
    addresses.push_back(SILENT_HOST);
    return addresses;
}

std::string soak_hosts() {
    nlohmann::json hosts = nlohmann::json::array();
    for (int i = 1; i < HOST_COUNT; ++i)
        hosts.push_back(
            stored_host("127.0.0." + std::to_string(i), int64_t{i} << 24 | 0x7F, "soak " + std::to_string(i)));
    hosts.push_back(stored_host(SILENT_HOST, 9LL << 24 | 77 << 8 | 10, "silent"));
    return hosts.dump();
}

// The sent count (received plus lost) of the host's line in the Ping tab's copy: address and name in 40
// columns, time, TTL and TOS in 5 each, then received and lost in 7 each ("-" for none); -1 without a line.
int sent_of(const std::wstring& copy, const std::string& address) {
    const std::wstring start_of_line(address.begin(), address.end());
    size_t start = 0;
    while (start < copy.size()) {
        const size_t end = std::min(copy.find(L"\r\n", start), copy.size());
        const std::wstring line = copy.substr(start, end - start);
        if (line.rfind(start_of_line + L" ", 0) == 0 && line.size() >= 69) {
            int sent = 0;
            for (const size_t column : {size_t{55}, size_t{62}}) {
                const std::wstring field = text_trim(line.substr(column, 7));
                if (field != L"-") sent += static_cast<int>(std::wcstol(field.c_str(), nullptr, 10));
            }
            return sent;
        }
        start = end + 2;
    }
    return -1;
}

struct MemorySample {
    int second = 0;
    size_t working_set = 0;
    size_t private_bytes = 0;
};

bool memory_sample(HANDLE process, MemorySample& sample) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters)))
        return false;
    sample.working_set = counters.WorkingSetSize;
    sample.private_bytes = counters.PrivateUsage;
    return true;
}

class PingSoakNetNs : public ProgramTest {
protected:
    void SetUp() override {
        // 10.77.0.9 answers nothing only inside the test network; outside it the echo would leave the machine.
        ASSERT_NE(std::getenv("SOTRIX_NETNS_CONTROL"), nullptr)
            << "runs only in a network of its own (tools/netns-run.sh)";
        ASSERT_TRUE(folder_prepare(L"sotrix-ping-soak-"));
    }
};

TEST_F(PingSoakNetNs, FiftyHostsEverySecondKeepMemoryFlatAndTheWindowAnswering) {
    const int seconds = soak_seconds();
    ASSERT_GE(seconds, WARM_UP_SECONDS + 3 * SAMPLE_SECONDS)
        << "SOTRIX_SOAK_SECONDS leaves no samples after the warm-up";
    // Portable mode with rounds every second.
    SettingsCodeValues values = settings_code_defaults();
    values.ping_interval_choice = 0;
    file_write(folder_ / L"Sotrix.ini", "[Sotrix]\r\nConfig=" + utf8_from_wide(settings_code_encode(values)) + "\r\n");
    file_write(folder_ / L"SX-Ping.json", soak_hosts());
    const std::vector<std::string> addresses = soak_addresses();

    Program& program = start(L"norepair ping");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window on the Ping tab";
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.id());
    ASSERT_NE(process, nullptr) << GetLastError();
    const auto started = Clock::now();
    const auto elapsed = [&] {
        return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - started).count());
    };

    std::vector<MemorySample> samples;
    std::vector<int> sent_before(addresses.size(), -1);
    int previous_second = 0;
    for (int next = SAMPLE_SECONDS; next <= seconds; next += SAMPLE_SECONDS) {
        // The wait does not stop early: the program runs its rounds meanwhile.
        wait_until((next - elapsed()) * 1000, [] { return false; });
        ASSERT_TRUE(program.running()) << "the program ended after " << elapsed() << " s";
        const int now = elapsed();
        DWORD_PTR ignored = 0;
        ASSERT_NE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ANSWER_MS, &ignored), 0)
            << "the main window did not answer within " << ANSWER_MS << " ms after " << now << " s";
        MemorySample sample;
        sample.second = now;
        ASSERT_TRUE(memory_sample(process, sample)) << GetLastError();
        samples.push_back(sample);

        // Every host's sent count grows between two looks, at least a third of a round per second.
        // The shortcut exists only once the start-up has ended, which may come after the window shows: pressed
        // again until the copy comes.
        std::wstring copy;
        EXPECT_TRUE(wait_until(COPY_MS,
                               [&] {
                                   clipboard_empty();
                                   if (!ctrl_c_press(main)) return false;
                                   return wait_until(2000, [&] {
                                       copy = clipboard_text();
                                       return copy.find(L"10.77.0.9") != std::wstring::npos;
                                   });
                               }))
            << "no copy of the hosts after " << now << " s";
        for (size_t i = 0; i < addresses.size(); ++i) {
            const int sent = sent_of(copy, addresses[i]);
            ASSERT_GE(sent, 0) << addresses[i] << " has no line in:\n" << narrow(copy);
            if (sent_before[i] >= 0) {
                EXPECT_GE(sent, sent_before[i] + (now - previous_second) / 3)
                    << addresses[i] << " sent " << sent_before[i] << " after " << previous_second << " s and " << sent
                    << " after " << now << " s";
            }
            sent_before[i] = sent;
        }
        previous_second = now;
        std::printf("soak %4d s: working set %7zu KB, private %7zu KB, sent to %s %d, to %s %d\n", now,
                    sample.working_set / 1024, sample.private_bytes / 1024, addresses[0].c_str(), sent_before[0],
                    SILENT_HOST, sent_before.back());
        std::fflush(stdout);
    }
    CloseHandle(process);

    // Flat after the warm-up. The working set under Wine swings by tens of megabytes for a sample and comes back
    // (heaps and mappings given back later), so the floor is what counts: the lowest of the last samples may not
    // lie above the lowest of the first two after the warm-up by more than the bound; a leak lifts that floor.
    std::vector<MemorySample> flat;
    for (const MemorySample& sample : samples)
        if (sample.second >= WARM_UP_SECONDS) flat.push_back(sample);
    ASSERT_GE(flat.size(), 4u) << "too few samples after the warm-up";
    const size_t tail = std::min<size_t>(3, flat.size() - 2);
    for (const auto& [name, member] : {std::pair{"working set", &MemorySample::working_set},
                                       std::pair{"private bytes", &MemorySample::private_bytes}}) {
        const auto lowest = [&, member = member](size_t first, size_t count) {
            const auto below = [member](const MemorySample& a, const MemorySample& b) { return a.*member < b.*member; };
            return *std::min_element(flat.begin() + static_cast<std::ptrdiff_t>(first),
                                     flat.begin() + static_cast<std::ptrdiff_t>(first + count), below);
        };
        const MemorySample base = lowest(0, 2);
        const MemorySample last = lowest(flat.size() - tail, tail);
        const size_t then = base.*member;
        const size_t now = last.*member;
        const size_t bound =
            std::max(GROWTH_BOUND_BYTES, static_cast<size_t>(static_cast<double>(then) * GROWTH_BOUND_SHARE));
        EXPECT_LE(now, then + bound) << name << " grew from " << then / 1024 << " KB after " << base.second << " s to "
                                     << now / 1024 << " KB after " << last.second << " s";
    }

    const int ran = elapsed();
    ASSERT_TRUE(shut_down(program));
    const nlohmann::json saved = nlohmann::json::parse(file_bytes(folder_ / L"SX-Ping.json"), nullptr, false);
    ASSERT_TRUE(saved.is_array()) << file_bytes(folder_ / L"SX-Ping.json");
    ASSERT_EQ(saved.size(), addresses.size());
    int fewest = INT32_MAX;
    for (const auto& host : saved) {
        const std::string address = host.value("Addr", "");
        SCOPED_TRACE(address);
        EXPECT_EQ(host.value("Sent", 0), host.value("Recv", 0) + host.value("Lost", 0));
        if (address == SILENT_HOST) {
            EXPECT_EQ(host.value("Recv", 0), 0);
        } else {
            EXPECT_EQ(host.value("Lost", 0), 0);
        }
        fewest = std::min(fewest, host.value("Sent", 0));
    }
    // The first round comes 10 s after the start; after it one round a second, of which a loaded machine may
    // lose some but not most.
    EXPECT_GE(fewest, (ran - 10) / 2) << "rounds in " << ran << " s";
    std::printf("soak: %d s, fewest sent %d (%.2f rounds a second after the first)\n", ran, fewest,
                fewest / static_cast<double>(std::max(1, ran - 10)));
}

}  // namespace

// The real Sotrix.exe's ping monitor under Wine, in a network of its own: it loads "SX-Ping.json", pings loopback
// hosts and one that cannot answer, and its own exit saves the counts with the previous store as ".bak"; the
// Ping tab draws the hosts and their timelines under a status line one list row high, copies them with Ctrl+C,
// and adds a host typed by name.
#include <winsock2.h>
// winsock2.h comes before windows.h.
#include <windows.h>

#include <gtest/gtest.h>

#include "integration/ping_store_fixture.h"
#include "integration/program_support.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/settings_code.h"
#include "runtime/text.h"

namespace {

// The three loopback hosts of the Ping tab's tests.
std::string three_loopback_hosts() {
    nlohmann::json hosts = nlohmann::json::array();
    hosts.push_back(stored_host("127.0.0.1", 0x0100007F, "loop one"));
    hosts.push_back(stored_host("127.0.0.2", 0x0200007F, "loop two"));
    hosts.push_back(stored_host("127.0.0.3", 0x0300007F, "loop three"));
    return hosts.dump();
}

// Colours on the screen (0xRRGGBB) that the Ping tab draws.
constexpr uint32_t SCREEN_NO_SAMPLES = 0x191970;  // dark blue left of a timeline's first sample
constexpr uint32_t SCREEN_SAMPLE_QUICK = 0x000000;
constexpr uint32_t SCREEN_HEADER_BLUE = 0x0000FF;
constexpr uint32_t SCREEN_MESSAGE_RED = 0xFF0000;

// One host's timeline as the picture shows it: its rows (screen y) and how many columns show a quick reply
// right of the dark blue part.
struct TimelineBand {
    int top = 0;
    int bottom = 0;  // past the last row
    int sample_columns = 0;
};

// The bands of rows that hold dark blue, top first, with the sample columns each shows at its middle row.
std::vector<TimelineBand> timeline_bands(const Picture& picture) {
    std::vector<TimelineBand> bands;
    bool inside = false;
    for (int y = 0; y < picture.height; ++y) {
        bool blue = false;
        for (int x = 0; x < picture.width && !blue; ++x) blue = picture.at(x, y) == SCREEN_NO_SAMPLES;
        if (blue && !inside) bands.push_back({y, y + 1, 0});
        if (blue) bands.back().bottom = y + 1;
        inside = blue;
    }
    for (TimelineBand& band : bands) {
        const int y = (band.top + band.bottom) / 2;
        int last_blue = -1;
        for (int x = 0; x < picture.width; ++x)
            if (picture.at(x, y) == SCREEN_NO_SAMPLES) last_blue = x;
        // The first sample is the load's resumed mark (light blue); the replies follow it.
        for (int x = last_blue + 1; x < picture.width; ++x)
            if (picture.at(x, y) == SCREEN_SAMPLE_QUICK) ++band.sample_columns;
    }
    return bands;
}

size_t pixels_of(const Picture& picture, uint32_t colour) {
    return static_cast<size_t>(std::count(picture.pixels.begin(), picture.pixels.end(), colour));
}

// The visible part of a control: its screen rectangle cut to its parent's inner area.
Picture control_picture(HWND control) {
    RECT area = client_on_screen(control);
    if (const HWND parent = GetParent(control)) {
        const RECT outer = client_on_screen(parent);
        IntersectRect(&area, &area, &outer);
    }
    return screen_picture(area);
}

// The received count of the host's line in the copy of the Ping tab (columns 40, 5, 5, 5, then 7); -1 when
// the host has no line.
int received_of(const std::wstring& copy, const std::wstring& address) {
    size_t start = 0;
    while (start < copy.size()) {
        const size_t end = std::min(copy.find(L"\r\n", start), copy.size());
        const std::wstring line = copy.substr(start, end - start);
        if (line.rfind(address + L" ", 0) == 0 && line.size() >= 62) {
            const std::wstring field = text_trim(line.substr(55, 7));
            return field == L"-" ? 0 : static_cast<int>(std::wcstol(field.c_str(), nullptr, 10));
        }
        start = end + 2;
    }
    return -1;
}

// The name server of the test network (its resolv.conf names 127.0.0.1): answers the A question for
// "localhost" with 127.0.0.1 and every other question with "no such name". The program's host-name lookup
// asks DNS, as it does on Windows, so the name must come from a server.
class LoopbackNameServer {
public:
    LoopbackNameServer() {
        WSADATA data{};
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
        socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(53);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (socket_ == INVALID_SOCKET || bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
            return;
        started_ = true;
        serving_ = std::thread([this] { serve(); });
    }
    ~LoopbackNameServer() {
        stop_ = true;
        if (serving_.joinable()) serving_.join();
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
        WSACleanup();
    }
    bool started() const { return started_; }

private:
    void serve() {
        while (!stop_) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(socket_, &readable);
            timeval wait{0, 100000};  // the stop flag is looked at every 100 ms
            if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
            char query[512];
            sockaddr_in from{};
            int from_length = sizeof(from);
            const int length =
                recvfrom(socket_, query, sizeof(query), 0, reinterpret_cast<sockaddr*>(&from), &from_length);
            if (length < 12) continue;
            // The question: labels up to the empty one, then type and class.
            std::string name;
            int at = 12;
            while (at < length && query[at] != 0) {
                const int label = static_cast<unsigned char>(query[at]);
                if (at + 1 + label > length) break;
                if (!name.empty()) name += '.';
                name.append(query + at + 1, static_cast<size_t>(label));
                at += 1 + label;
            }
            if (at + 5 > length) continue;
            const int question_end = at + 5;
            const bool type_a = query[at + 1] == 0 && query[at + 2] == 1;
            const bool known = type_a && _stricmp(name.c_str(), "localhost") == 0;
            std::string reply(query, static_cast<size_t>(question_end));
            reply[2] = static_cast<char>(0x81);                 // a response, recursion desired
            reply[3] = static_cast<char>(known ? 0x80 : 0x83);  // recursion available; 3 = no such name
            reply[6] = 0;
            reply[7] = known ? 1 : 0;  // answers
            for (int i = 8; i < 12; ++i) reply[i] = 0;
            if (known) {
                const char answer[] = {'\xC0', 12, 0, 1, 0, 1, 0, 0, 0, 60, 0, 4, 127, 0, 0, 1};
                reply.append(answer, sizeof(answer));
            }
            sendto(socket_, reply.data(), static_cast<int>(reply.size()), 0, reinterpret_cast<sockaddr*>(&from),
                   from_length);
        }
    }

    SOCKET socket_ = INVALID_SOCKET;
    bool started_ = false;
    std::atomic<bool> stop_{false};
    std::thread serving_;
};

class PingProgram : public ProgramTest {
protected:
    void SetUp() override {
        // 10.77.0.x answers nothing only inside the test network; outside it the echo would leave the machine.
        ASSERT_NE(std::getenv("SOTRIX_NETNS_CONTROL"), nullptr)
            << "runs only in a network of its own (tools/netns-run.sh)";
        ASSERT_TRUE(folder_prepare(L"sotrix-ping-"));
    }

    // Portable mode with rounds every second (the first round still comes 10 s after the start).
    void settings_write() {
        SettingsCodeValues values = settings_code_defaults();
        values.ping_interval_choice = 0;
        file_write(folder_ / L"Sotrix.ini",
                   "[Sotrix]\r\nConfig=" + utf8_from_wide(settings_code_encode(values)) + "\r\n");
    }
};

TEST_F(PingProgram, NetNsRoundsCountLoopbackRepliesAndLossesAndTheExitSavesThem) {
    // Portable mode: the settings file beside the program makes its folder the data folder.
    file_write(folder_ / L"Sotrix.ini", "[Sotrix]\r\n");
    nlohmann::json hosts = nlohmann::json::array();
    hosts.push_back(stored_host("127.0.0.1", 0x0100007F, "loop one"));
    hosts.push_back(stored_host("127.0.0.2", 0x0200007F, "loop two"));
    hosts.push_back(stored_host("10.77.0.9", 9LL << 24 | 77 << 8 | 10, "nobody"));
    // A host of a kept-active range that does not answer: the first round deletes it and says so in the title.
    hosts.push_back(stored_host("10.77.0.7", 7LL << 24 | 77 << 8 | 10, "*"));
    const std::string before = hosts.dump();
    file_write(folder_ / L"SX-Ping.json", before);

    Program& program = start(L"norepair");
    ASSERT_NE(wait_for_window(program, WindowKind::COMPACT), nullptr) << "no compact window";
    // The first round comes 10 s after the start; its end shows in the main window's title.
    std::wstring title;
    EXPECT_TRUE(wait_until(40000,
                           [&] {
                               HWND main = program_window(program.id(), WindowKind::MAIN, false);
                               title = main ? text_of(main) : std::wstring();
                               return title.find(L"1 Inactive pings deleted") != std::wstring::npos;
                           }))
        << "no round ended: " << narrow(title);
    ASSERT_TRUE(shut_down(program));

    const nlohmann::json saved = nlohmann::json::parse(file_bytes(folder_ / L"SX-Ping.json"), nullptr, false);
    ASSERT_TRUE(saved.is_array()) << file_bytes(folder_ / L"SX-Ping.json");
    ASSERT_EQ(saved.size(), 3u) << saved.dump();
    for (const auto& host : saved) {
        const std::string address = host.value("Addr", "");
        SCOPED_TRACE(address);
        EXPECT_GE(host.value("Sent", 0), 1);
        EXPECT_EQ(host.value("Sent", 0), host.value("Recv", 0) + host.value("Lost", 0));
        if (address.rfind("127.", 0) == 0) {
            EXPECT_GE(host.value("Recv", 0), 1);
            EXPECT_EQ(host.value("Lost", 0), 0);
            EXPECT_EQ(host.value("Last", 0), 1);
        } else {
            EXPECT_EQ(address, "10.77.0.9");
            EXPECT_EQ(host.value("Recv", 0), 0);
            EXPECT_GE(host.value("Lost", 0), 1);
            EXPECT_EQ(host.value("Last", 0), -1);
            EXPECT_GT(host.value("Down", int64_t{0}), 0);
        }
        // The resumed marker of the load comes first, then one sample per round.
        ASSERT_FALSE(host["PV"].empty());
        EXPECT_EQ(host["PV"][0].value("T", 0), -2);
    }
    EXPECT_EQ(file_bytes(folder_ / L"SX-Ping.bak"), before) << "the backup is the previous store";
}

TEST_F(PingProgram, NetNsThePingTabDrawsItsHostsAndCopiesThemWithCtrlC) {
    settings_write();
    file_write(folder_ / L"SX-Ping.json", three_loopback_hosts());
    Program& program = start(L"norepair ping");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window on the Ping tab";
    const std::map<int, HWND> inside = descendants_of(main);
    ASSERT_TRUE(inside.count(CANVAS_PING_LIST) && inside.count(CANVAS_PING_STATUS)) << "no Ping tab canvases";

    // The header comes back on the status line once the load's message has expired: blue text, no red.
    Picture status;
    EXPECT_TRUE(wait_until(30000,
                           [&] {
                               status = control_picture(inside.at(CANVAS_PING_STATUS));
                               return pixels_of(status, SCREEN_HEADER_BLUE) > 100 &&
                                      pixels_of(status, SCREEN_MESSAGE_RED) == 0;
                           }))
        << "the status line shows no header: " << pixels_of(status, SCREEN_HEADER_BLUE) << " blue, "
        << pixels_of(status, SCREEN_MESSAGE_RED) << " red pixels";

    // Three timelines, each with replies that move in from the right round by round.
    std::vector<TimelineBand> first;
    EXPECT_TRUE(wait_until(40000,
                           [&] {
                               first = timeline_bands(control_picture(inside.at(CANVAS_PING_LIST)));
                               return first.size() == 3 &&
                                      std::all_of(first.begin(), first.end(),
                                                  [](const TimelineBand& band) { return band.sample_columns >= 1; });
                           }))
        << "timelines with replies: " << first.size();
    ASSERT_EQ(first.size(), 3u);
    std::vector<TimelineBand> later;
    EXPECT_TRUE(wait_until(30000,
                           [&] {
                               later = timeline_bands(control_picture(inside.at(CANVAS_PING_LIST)));
                               if (later.size() != 3) return false;
                               for (size_t i = 0; i < 3; ++i)
                                   if (later[i].sample_columns < first[i].sample_columns + 2) return false;
                               return true;
                           }))
        << "the timelines do not grow round by round: " << first[0].sample_columns << " replies, then "
        << (later.empty() ? -1 : later[0].sample_columns);
    for (size_t i = 1; i < first.size(); ++i) EXPECT_GE(first[i].top, first[i - 1].bottom) << "rows overlap";

    // Ctrl+C on the Ping tab: the host rows on the clipboard, with received counts that grow between copies.
    std::wstring copy;
    const auto copied = [&] {
        clipboard_empty();
        if (!ctrl_c_press(main)) return false;
        return wait_until(15000, [&] {
            copy = clipboard_text();
            return copy.find(L"127.0.0.3") != std::wstring::npos;
        });
    };
    ASSERT_TRUE(copied()) << "Ctrl+C put no host rows on the clipboard: " << narrow(copy);
    EXPECT_NE(copy.find(L"IP Address (Host Name)"), std::wstring::npos) << narrow(copy);
    for (const wchar_t* host : {L"127.0.0.1 (loop one)", L"127.0.0.2 (loop two)", L"127.0.0.3 (loop three)"})
        EXPECT_NE(copy.find(host), std::wstring::npos) << narrow(host) << " missing in:\n" << narrow(copy);
    const int received = received_of(copy, L"127.0.0.1");
    EXPECT_GE(received, 1) << narrow(copy);
    // The next copy is taken once the timeline shows two more replies than it did after this one, so that a
    // round has surely ended since; copies pressed meanwhile would only stand in the way of the monitor's rounds.
    const auto replies_shown = [&] {
        const std::vector<TimelineBand> bands = timeline_bands(control_picture(inside.at(CANVAS_PING_LIST)));
        return bands.empty() ? -1 : bands[0].sample_columns;
    };
    const int shown_at_copy = replies_shown();
    EXPECT_TRUE(wait_until(30000, [&] { return replies_shown() >= shown_at_copy + 2; }))
        << "no new replies on the timeline after " << shown_at_copy;
    ASSERT_TRUE(copied()) << "the second Ctrl+C put no host rows on the clipboard: " << narrow(copy);
    EXPECT_GT(received_of(copy, L"127.0.0.1"), received)
        << "the received count does not move: " << received << " then:\n"
        << narrow(copy);
    ASSERT_TRUE(shut_down(program));
}

TEST_F(PingProgram, NetNsTheStatusLineIsOneListRowHighAtEveryListFontSize) {
    // A timeline fills its row but the last pixel row (the grey rule under it): a band is one row less one.
    struct Shown {
        int size = 0;
        int row = 0;
        int status = 0;
        RECT list{};
    };
    std::vector<Shown> shown;
    for (const int size : {9, 14}) {
        SCOPED_TRACE("list font " + std::to_string(size));
        SettingsCodeValues values = settings_code_defaults();
        values.ping_interval_choice = 0;
        values.ping_font_size = size;
        file_write(folder_ / L"Sotrix.ini",
                   "[Sotrix]\r\nConfig=" + utf8_from_wide(settings_code_encode(values)) + "\r\n");
        file_write(folder_ / L"SX-Ping.json", three_loopback_hosts());
        Program& program = start(L"norepair ping");
        const HWND main = wait_for_window(program, WindowKind::MAIN);
        ASSERT_NE(main, nullptr) << "no main window on the Ping tab";
        const std::map<int, HWND> inside = descendants_of(main);
        ASSERT_TRUE(inside.count(CANVAS_PING_LIST) && inside.count(CANVAS_PING_STATUS) &&
                    inside.count(SCROLL_PING_LIST))
            << "no Ping tab canvases";
        Shown now{size};
        EXPECT_TRUE(wait_until(30000,
                               [&] {
                                   const std::vector<TimelineBand> bands =
                                       timeline_bands(control_picture(inside.at(CANVAS_PING_LIST)));
                                   if (bands.size() != 3) return false;
                                   now.row = bands[1].top - bands[0].top;
                                   RECT status{};
                                   GetClientRect(inside.at(CANVAS_PING_STATUS), &status);
                                   now.status = status.bottom;
                                   return now.row == bands[0].bottom - bands[0].top + 1 && now.status == now.row;
                               }))
            << "rows of " << now.row << " pixels, a status line of " << now.status << ", a list "
            << client_on_screen(inside.at(CANVAS_PING_LIST)).right - client_on_screen(inside.at(CANVAS_PING_LIST)).left
            << " pixels wide";
        // The list starts right under the status line and still ends where the page put it.
        GetWindowRect(inside.at(SCROLL_PING_LIST), &now.list);
        const RECT status = client_on_screen(inside.at(CANVAS_PING_STATUS));
        EXPECT_GE(now.list.top, status.bottom);
        EXPECT_LE(now.list.top, status.bottom + 2);
        shown.push_back(now);
        ASSERT_TRUE(shut_down(program));
    }
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_GT(shown[1].status, shown[0].status + 3) << "the larger list font gives no taller status line";
    EXPECT_EQ(shown[1].list.bottom - shown[1].list.top,
              shown[0].list.bottom - shown[0].list.top - (shown[1].status - shown[0].status))
        << "the list does not give up what the status line takes";
}

TEST_F(PingProgram, NetNsAHostNameTypedIntoThePingTabIsAddedByItsAddress) {
    LoopbackNameServer names;
    ASSERT_TRUE(names.started()) << "no name server on 127.0.0.1:53: " << WSAGetLastError();
    settings_write();
    Program& program = start(L"norepair ping");
    const HWND main = wait_for_window(program, WindowKind::MAIN);
    ASSERT_NE(main, nullptr) << "no main window on the Ping tab";
    const std::map<int, HWND> inside = descendants_of(main);
    ASSERT_TRUE(inside.count(INPUT_PING_HOST)) << "the Ping tab does not start in the mode \"Ping Host Name\"";
    const HWND field = inside.at(INPUT_PING_HOST);

    // The name typed and Return pressed in the field (posted, as the keyboard does; no modifier held), until the
    // host's row reaches the clipboard copy: the shortcuts exist only once the start-up has ended, which may
    // come after the window shows. A second Return of the same name only reports the duplicate.
    std::wstring copy;
    EXPECT_TRUE(wait_until(40000,
                           [&] {
                               DWORD_PTR ignored = 0;
                               SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"localhost"),
                                                   SMTO_ABORTIFHUNG, 5000, &ignored);
                               PostMessageW(field, WM_KEYDOWN, VK_RETURN, 1);
                               PostMessageW(field, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001));
                               clipboard_empty();
                               if (!ctrl_c_press(main)) return false;
                               return wait_until(5000, [&] {
                                   copy = clipboard_text();
                                   return copy.find(L"127.0.0.1") != std::wstring::npos;
                               });
                           }))
        << "no host 127.0.0.1 after \"localhost\" and Return: " << narrow(copy)
        << "; the title: " << narrow(text_of(main));
    ASSERT_TRUE(shut_down(program));
    const nlohmann::json saved = nlohmann::json::parse(file_bytes(folder_ / L"SX-Ping.json"), nullptr, false);
    ASSERT_TRUE(saved.is_array()) << file_bytes(folder_ / L"SX-Ping.json");
    ASSERT_EQ(saved.size(), 1u) << saved.dump();
    EXPECT_EQ(saved[0].value("Addr", ""), "127.0.0.1");
    EXPECT_EQ(saved[0].value("Host", ""), "localhost");
}

}  // namespace

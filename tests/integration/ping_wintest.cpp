// The real Sotrix.exe's ping monitor under Wine, in a network of its own: it loads "SX-Ping.json", pings loopback
// hosts and one that cannot answer, and its own exit saves the counts with the previous store as ".bak".
#include <windows.h>

#include <gtest/gtest.h>

#include "integration/program_support.h"

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "runtime/text.h"

namespace {

// A host of the store as the program writes it (first octet in the lowest byte of "Valu").
nlohmann::json stored_host(const std::string& address, int64_t value, const std::string& name) {
    return {{"Init", "1700000000." + std::to_string(value % 1000)},
            {"Actv", 1},
            {"Sent", 0},
            {"Recv", 0},
            {"Lost", 0},
            {"Time", 0},
            {"Best", -1},
            {"Wors", -1},
            {"Down", 0},
            {"PTTL", 0},
            {"PTOS", 0},
            {"Last", 0},
            {"Valu", value},
            {"Sort", 0},
            {"HiLi", 0},
            {"CFor", 0},
            {"CBak", 0},
            {"Host", name},
            {"Addr", address},
            {"PV", nlohmann::json::array()}};
}

class PingProgram : public ProgramTest {
protected:
    void SetUp() override {
        // 10.77.0.x answers nothing only inside the test network; outside it the echo would leave the machine.
        ASSERT_NE(std::getenv("SOTRIX_NETNS_CONTROL"), nullptr)
            << "runs only in a network of its own (tools/netns-run.sh)";
        ASSERT_TRUE(folder_prepare(L"sotrix-ping-"));
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

}  // namespace

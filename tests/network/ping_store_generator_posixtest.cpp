// The benchmark's ping store generator (tools/ping_store_make.py): its stores are what the program itself
// writes, byte for byte, and hold the hosts and samples asked for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "network/ping_hosts.h"
#include "network/ping_store.h"
#include "runtime/file_io.h"
#include "runtime/temp_folder.h"
#include "runtime/text.h"

namespace {

constexpr int64_t END_DATE = 1'700'000'000;

// The generator's store for the arguments; empty when it failed.
std::string generated(const std::string& arguments) {
    TempFolder temp;
    const std::filesystem::path out = temp.Path / "SX-Ping.json";
    const std::string command = "python3 '" SOTRIX_SOURCE_DIR "/tools/ping_store_make.py' " + arguments + " --end " +
                                std::to_string(END_DATE) + " >'" + out.string() + "'";
    if (std::system(command.c_str()) != 0) return {};
    std::string bytes;
    file_read_all(out, bytes, 256 * 1024 * 1024);
    return bytes;
}

bool is_silent(const PSys& host) { return (host.Valu & 0xFFFF) == (10 | 77 << 8) && ((host.Valu >> 16) & 0xFF) >= 1; }
bool is_loopback(const PSys& host) { return (host.Valu & 0xFF) == 127; }

TEST(PingStoreGenerator, WritesTheProgramsOwnFormatWithConsistentHostsAndSamples) {
    struct Case {
        int hosts;
        int samples;
        int silent;
        int interval;
    };
    for (const Case& c : {Case{0, 0, 0, 1}, Case{1, 0, 0, 1}, Case{7, 5, 3, 1}, Case{6, 4, 6, 60}}) {
        SCOPED_TRACE(testing::Message() << c.hosts << " hosts, " << c.samples << " samples, " << c.silent
                                        << " silent, interval " << c.interval);
        const std::string bytes =
            generated("--hosts " + std::to_string(c.hosts) + " --samples " + std::to_string(c.samples) + " --silent " +
                      std::to_string(c.silent) + " --interval " + std::to_string(c.interval));
        ASSERT_FALSE(bytes.empty());
        std::vector<PSys> hosts;
        std::wstring error;
        ASSERT_TRUE(ping_hosts_parse(bytes, hosts, error)) << error;
        ASSERT_EQ(hosts.size(), static_cast<size_t>(c.hosts));
        // Written again by the program, the list gives the same bytes: same members, order and numbers.
        EXPECT_EQ(ping_hosts_serialise(hosts), bytes);

        int silent = 0;
        std::set<std::wstring> keys;
        for (const PSys& host : hosts) {
            SCOPED_TRACE(utf8_from_wide(host.Addr));
            const std::optional<uint32_t> address = ipv4_parse(host.Addr);
            ASSERT_TRUE(address.has_value());
            EXPECT_EQ(host.Valu, static_cast<int64_t>(*address));
            EXPECT_EQ(host.Sort, ipv4_sort_key(host.Addr));
            EXPECT_TRUE(is_silent(host) || is_loopback(host));
            EXPECT_EQ(host.Host.size(), static_cast<size_t>(PING_HOST_TEXT_MAX));
            EXPECT_EQ(host.Actv, 1);
            EXPECT_EQ(host.Sent, host.Recv + host.Lost);
            EXPECT_EQ(host.Sent, c.samples);
            EXPECT_EQ(host.Best == -1, host.Wors == -1);
            keys.insert(host.Init);
            silent += is_silent(host) ? 1 : 0;
            ASSERT_EQ(host.PV.size(), static_cast<size_t>(c.samples));
            for (size_t i = 0; i < host.PV.size(); ++i) {
                // Oldest first, one a round, the newest a round before the end.
                EXPECT_EQ(host.PV[i].S, END_DATE - static_cast<int64_t>(c.samples - i) * c.interval);
                if (is_silent(host)) {
                    EXPECT_EQ(host.PV[i].T, SAMPLE_TIMED_OUT);
                } else {
                    EXPECT_GE(host.PV[i].T, 0);
                }
            }
            EXPECT_EQ(host.Recv, is_silent(host) ? 0 : c.samples);
        }
        EXPECT_EQ(silent, c.silent);
        EXPECT_EQ(keys.size(), hosts.size()) << "creation keys differ";
    }
}

// A full list: every address differs, and the silent ones alternate with the loopback ones.
TEST(PingStoreGenerator, AFullListHas1024DistinctAddressesHalfOfThemSilent) {
    const std::string bytes = generated("--hosts 1024 --samples 1 --silent 512");
    std::vector<PSys> hosts;
    std::wstring error;
    ASSERT_TRUE(ping_hosts_parse(bytes, hosts, error)) << error;
    ASSERT_EQ(hosts.size(), 1024u);
    std::set<int64_t> addresses;
    for (size_t i = 0; i < hosts.size(); ++i) {
        addresses.insert(hosts[i].Valu);
        EXPECT_EQ(is_silent(hosts[i]), i % 2 == 1) << i;
        const int64_t last_octet = hosts[i].Valu >> 24;
        EXPECT_TRUE(last_octet >= 1 && last_octet <= 254) << utf8_from_wide(hosts[i].Addr);
    }
    EXPECT_EQ(addresses.size(), 1024u);
}

}  // namespace

// The proxy switch against the registry of the test's Wine prefix: F7 switches an enabled proxy off and on
// again, and the user's ProxyServer value survives both.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "net_fake_platform.h"
#include "network/proxy_switch.h"

namespace {

constexpr wchar_t KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

std::optional<DWORD> enable_value() {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, KEY, L"ProxyEnable", RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::wstring> server_value() {
    wchar_t text[1024] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, KEY, L"ProxyServer", RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(text);
}

void values_set(DWORD enable, const std::wstring& server) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable), sizeof enable);
    RegSetValueExW(key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                   static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

// The prefix's own values come back after the test.
struct RegistryKeep {
    std::optional<DWORD> enable = enable_value();
    std::optional<std::wstring> server = server_value();
    ~RegistryKeep() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, KEY, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
        if (enable) {
            RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*enable), sizeof(DWORD));
        } else {
            RegDeleteValueW(key, L"ProxyEnable");
        }
        if (server) {
            RegSetValueExW(key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server->c_str()),
                           static_cast<DWORD>((server->size() + 1) * sizeof(wchar_t)));
        } else {
            RegDeleteValueW(key, L"ProxyServer");
        }
        RegCloseKey(key);
    }
};

TEST(ProxySwitchWine, F7SwitchesOffAndOnAndTheServerValueSurvives) {
    net_test_reset();
    RegistryKeep keep;
    values_set(1, L"  proxy.example:8080 ");

    SharedInts[PROXY_ENABLED] = proxy_read();
    EXPECT_EQ(SharedInts[PROXY_ENABLED].load(), 1);
    EXPECT_EQ(shared_text(PROXY_SERVER), L"proxy.example:8080");

    proxy_switch_toggle();  // off
    EXPECT_EQ(enable_value(), std::optional<DWORD>(0));
    EXPECT_EQ(server_value(), std::optional<std::wstring>(L"  proxy.example:8080 "));
    EXPECT_EQ(SharedInts[PROXY_ENABLED].load(), 0);
    EXPECT_EQ(SharedInts[NET_RESCAN_REQUEST].load(), 1);
    EXPECT_EQ(net_event_texts().front(), L"[F7] Removing Proxy: Success");
    EXPECT_EQ(proxy_read(), 0);
    EXPECT_EQ(shared_text(PROXY_SERVER), L"proxy.example:8080");

    proxy_switch_toggle();  // on again
    EXPECT_EQ(enable_value(), std::optional<DWORD>(1));
    EXPECT_EQ(server_value(), std::optional<std::wstring>(L"proxy.example:8080"));
    EXPECT_EQ(SharedInts[PROXY_ENABLED].load(), 1);
    EXPECT_EQ(net_event_texts().front(), L"[F7] Restoring Proxy: Success");
}

TEST(ProxySwitchWine, LongAndEmptyServersAndNothingKnown) {
    net_test_reset();
    RegistryKeep keep;
    // Longer than 127 characters: still read whole.
    const std::wstring list = L"http=" + std::wstring(200, L'a') + L".example:3128;https=secure.example:443";
    values_set(0, list);
    EXPECT_EQ(proxy_read(), 0);
    EXPECT_EQ(shared_text(PROXY_SERVER), list);
    EXPECT_EQ(proxy_restore(L"   "), 0);
    EXPECT_EQ(enable_value(), std::optional<DWORD>(0));

    // Off, and no server ever read: F7 does nothing.
    shared_text_set(PROXY_SERVER, L"");
    values_set(0, L"");
    EXPECT_EQ(proxy_read(), 0);
    SharedInts[NET_RESCAN_REQUEST] = 0;
    proxy_switch_toggle();
    EXPECT_EQ(enable_value(), std::optional<DWORD>(0));
    EXPECT_EQ(SharedInts[NET_RESCAN_REQUEST].load(), 0);
    EXPECT_TRUE(net_event_texts().empty());
}

}  // namespace

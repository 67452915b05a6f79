// The proxy switch's registry side: the current user's Internet Settings key.
#include <windows.h>

#include <vector>

#include "core/shared_state.h"
#include "network/proxy_switch.h"
#include "runtime/text.h"

namespace {

constexpr wchar_t KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr DWORD SERVER_MAX_CHARS = 2048;  // a list of scheme=host:port pairs fits easily

struct KeyOwner {
    HKEY key = nullptr;
    ~KeyOwner() {
        if (key) RegCloseKey(key);
    }
};

bool enable_write(HKEY key, DWORD value) {
    return RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

}  // namespace

int32_t proxy_read() {
    KeyOwner owner;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KEY, 0, KEY_READ, &owner.key) != ERROR_SUCCESS) return 0;
    DWORD enabled = 0;
    DWORD type = 0;
    DWORD size = sizeof enabled;
    if (RegQueryValueExW(owner.key, L"ProxyEnable", nullptr, &type, reinterpret_cast<BYTE*>(&enabled), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof enabled) {
        enabled = 0;
    }
    std::vector<wchar_t> server(SERVER_MAX_CHARS + 1, L'\0');
    size = SERVER_MAX_CHARS * sizeof(wchar_t);
    if (RegQueryValueExW(owner.key, L"ProxyServer", nullptr, &type, reinterpret_cast<BYTE*>(server.data()), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        // The stored text need not end in a zero: the buffer keeps one beyond the room asked for.
        const std::wstring text = text_trim(std::wstring_view(server.data()));
        if (!text.empty()) shared_text_set(PROXY_SERVER, text);
    }
    return static_cast<int32_t>(enabled);
}

int32_t proxy_remove() {
    KeyOwner owner;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KEY, 0, KEY_WRITE, &owner.key) != ERROR_SUCCESS) return 0;
    return enable_write(owner.key, 0) ? 1 : 0;
}

int32_t proxy_restore(const std::wstring& server) {
    const std::wstring text = text_trim(server);
    if (text.empty()) return 0;
    KeyOwner owner;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &owner.key, nullptr) !=
        ERROR_SUCCESS) {
        return 0;
    }
    if (!enable_write(owner.key, 1)) return 0;
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(owner.key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

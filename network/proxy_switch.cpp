// F7 on the Networks tab: the proxy switch's outcome lines and the rescan that shows the new state.
#include "network/proxy_switch.h"

#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/language.h"
#include "core/shared_state.h"

void proxy_switch_toggle() {
    if (SharedInts[PROXY_ENABLED].load() != 0) {
        const bool removed = proxy_remove() != 0;
        event_line_add(LIST_NETWORK_EVENTS,
                       L"[F7] " + tr(L"Removing Proxy") + L": " + (removed ? tr(L"Success") : tr(L"Failed")));
        if (removed) SharedInts[PROXY_ENABLED] = 0;
    } else {
        const std::wstring server = shared_text(PROXY_SERVER);
        if (server.empty()) return;
        const int32_t restored = proxy_restore(server);
        SharedInts[PROXY_ENABLED] = restored;
        event_line_add(LIST_NETWORK_EVENTS,
                       L"[F7] " + tr(L"Restoring Proxy") + L": " + (restored ? tr(L"Success") : tr(L"Failed")));
    }
    SharedInts[NET_RESCAN_REQUEST] = 1;
}

// The DNS client library (Dnsapi.dll), loaded at start-up for the host-name lookups.
#include <windows.h>

#include "network/dns_library_win.h"
#include "network/network_monitor.h"
#include "runtime/system_library_win.h"

namespace {

HMODULE dns_module = nullptr;
DnsFunctions dns;

}  // namespace

const DnsFunctions& dns_functions() { return dns; }

int64_t dns_library_load(int number) {
    (void)number;  // the runtime's library number; the handle is what callers keep
    if (!dns_module) dns_module = system_library_load(L"dnsapi.dll");
    const bool bound = library_function_bind(dns_module, "DnsQuery_W", dns.query) &&
                       library_function_bind(dns_module, "DnsRecordListFree", dns.record_list_free);
    if (!bound) {
        dns_library_free();
        return 0;
    }
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(dns_module));
}

void dns_library_free() {
    dns = DnsFunctions{};
    if (dns_module) FreeLibrary(dns_module);
    dns_module = nullptr;
}

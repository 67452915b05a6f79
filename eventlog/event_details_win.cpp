// The details of one event on LIST_EVENT_DETAILS (event page thread): the account of its SID and the decoded
// disk data.
#include <windows.h>

#include <atomic>
#include <mutex>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "eventlog/event_details.h"
#include "runtime/gui/list_view/list_view.h"
#include "runtime/list_model.h"

namespace {

constexpr DWORD NAME_ROOM = 256;

std::atomic<DiskDataDecoder> disk_decoder{nullptr};

// " (DOMAIN\name)", " (name)", or empty when Windows cannot name the SID.
std::wstring account_text(const EventRecord& event) {
    if (event.sid_length <= 0) return L"";
    auto sid = event.sid;  // a copy: the call wants a non-const SID
    if (!IsValidSid(sid.data())) return L"";
    wchar_t name[NAME_ROOM] = {};
    wchar_t domain[NAME_ROOM] = {};
    DWORD name_length = NAME_ROOM;
    DWORD domain_length = NAME_ROOM;
    SID_NAME_USE use = SidTypeUnknown;
    if (!LookupAccountSidW(nullptr, sid.data(), name, &name_length, domain, &domain_length, &use)) return L"";
    name_length = std::min(name_length, NAME_ROOM - 1);
    domain_length = std::min(domain_length, NAME_ROOM - 1);
    if (domain_length > 0)
        return L" (" + std::wstring(domain, domain_length) + L"\\" + std::wstring(name, name_length) + L")";
    if (name_length > 0) return L" (" + std::wstring(name, name_length) + L")";
    return L"";
}

}  // namespace

void event_details_decoder_set(DiskDataDecoder decoder) { disk_decoder.store(decoder); }

int event_details_show(int row) {
    list_rows_clear(LIST_EVENT_DETAILS);
    SharedInts[EVENTLOG_DETAILS_SHOWN] = row;
    EventRecord event;
    {
        std::lock_guard guard(EventListLock);
        const int64_t index = event_details_index(row, EventList, EventSearchList);
        if (index < 0) return -1;
        event = EventList[static_cast<std::size_t>(index)];
    }
    EventDetailsInput input;
    input.account = account_text(event);
    const int type = event.type >= 0 && event.type < EVENT_TYPE_COUNT ? event.type : 0;
    input.type_label = EventTypeTable[static_cast<std::size_t>(type)].label;
    input.char_width = SharedInts[EVENTLOG_CHAR_WIDTH].load();
    if (!event.data_hex.empty()) {
        if (const DiskDataDecoder decode = disk_decoder.load())
            input.disk_decoded = decode(event_data_bytes(event.data_hex, event.data_length));
    }
    EventDetailsText text = event_details_text(event, input);
    list_rows_assign(LIST_EVENT_DETAILS, std::move(text.lines));
    // The plain list scrolls sideways over its one column: as wide as the longest line.
    if (text.extent > 0) list_view_column_set(LIST_EVENT_DETAILS, 0, L"", text.extent);
    return -1;
}

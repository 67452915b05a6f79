// Tests of the Ping tab's requests as the monitor serves them on a small list: adds and their messages, ranges
// from the address fields, deletes, sorting, pausing, the host's clipboard log and the outside programs.
#include <gtest/gtest.h>

#include "core/control_numbers.h"
#include "network/ping_hosts.h"
#include "network/ping_monitor.h"
#include "ping_fake_platform.h"

namespace {

std::vector<std::wstring> listed() {
    std::lock_guard guard(PingListMutex);
    std::vector<std::wstring> texts;
    for (const PSys& host : PingHostList) texts.push_back(host.Addr + (host.Host.empty() ? L"" : L" " + host.Host));
    return texts;
}

class PingRequests : public ::testing::Test {
protected:
    PingSortState Sort;

    void SetUp() override {
        ping_state_reset();
        for (uint32_t n = 1; n <= 3; ++n) ping_host_add(address_of(127, 0, 0, n), L"", false, 1024);
    }

    void serve() { ping_requests_serve(fake_ping_ui(), Sort); }

    void add_request(int32_t address, const std::wstring& name) {
        shared_text_set(PING_ADD_NAME, name);
        SharedInts[PING_REQ_ADD_HOST] = address;
        serve();
        EXPECT_EQ(SharedInts[PING_REQ_ADD_HOST].load(), 0);
        EXPECT_EQ(shared_text(PING_ADD_NAME), L"");
    }
};

TEST_F(PingRequests, AddsReportInvalidDuplicateAndFullListsAndAFullListStopsTheQueue) {
    add_request(-1, L"nowhere.example");
    EXPECT_EQ(last_title(), L"Invalid Host Name or IP Address");
    add_request(static_cast<int32_t>(address_of(127, 0, 0, 2)), L"127.0.0.2");
    EXPECT_EQ(last_title(), L"Duplicate IP found: 127.0.0.2");
    add_request(static_cast<int32_t>(address_of(127, 0, 0, 9)), L"Site.Example");
    EXPECT_EQ(listed().back(), L"127.0.0.9 Site.Example");
    SharedInts[PING_HOSTS_MAX] = 4;
    lookup_queue_add(L"a.example b.example");
    add_request(static_cast<int32_t>(address_of(127, 0, 0, 10)), L"c.example");
    EXPECT_EQ(last_title(), L"Maximum Pings Reached");
    EXPECT_TRUE(lookup_queue_empty()) << "a full list ends the lookup worker's queue";
    EXPECT_EQ(listed().size(), 4u);
}

TEST_F(PingRequests, RangesComeFromTheAddressFieldsInTheLastAddressesNetwork) {
    {
        std::lock_guard guard(Tab.lock);
        Tab.controls[INPUT_PING_IP_FROM] = L" 127.0.0.4 ";
        Tab.controls[INPUT_PING_IP_TO] = L"127.0.0.2";
    }
    SharedInts[PING_REQ_ADD_RANGE] = 3;
    serve();
    EXPECT_EQ(SharedInts[PING_REQ_ADD_RANGE].load(), 0);
    EXPECT_EQ(SharedInts[PING_CHANGE_COUNT].load(), 1);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"127.0.0.1", L"127.0.0.2", L"127.0.0.3", L"127.0.0.4 *"}));
    {
        std::lock_guard guard(Tab.lock);
        Tab.controls[INPUT_PING_IP_FROM] = L"127.0.0.300";
    }
    SharedInts[PING_REQ_ADD_RANGE] = 2;
    serve();
    EXPECT_EQ(last_title(), L"Invalid Host Name or IP Address");
    EXPECT_EQ(listed().size(), 4u);
}

TEST_F(PingRequests, DeleteAndResetNameWhatTheyDid) {
    struct Case {
        SharedIntIndex request;
        int32_t value;
        int selected;
        const wchar_t* message;
        size_t left;
    };
    for (const Case& c :
         {Case{PING_REQ_DELETE, 1, 0, L"Select pings first OR Shift+click to Delete ALL", 3},
          Case{PING_REQ_DELETE, 1, 1, L"1 selected ping deleted", 2},
          Case{PING_REQ_DELETE, 1, 2, L"2 selected pings deleted", 1},
          Case{PING_REQ_DELETE, -1, 0, L"3 pings deleted", 0},
          Case{PING_REQ_RESET, 1, 0, L"Select pings first OR Shift+click to Reset ALL", 3},
          Case{PING_REQ_RESET, 1, 2, L"2 selected pings reset", 3}, Case{PING_REQ_RESET, -1, 0, L"3 pings reset", 3}}) {
        SCOPED_TRACE(c.message);
        SetUp();
        {
            std::lock_guard guard(PingListMutex);
            int n = 0;
            for (PSys& host : PingHostList) {
                host.HiLi = n++ < c.selected ? 1 : 0;
                host.Sent = 5;
            }
        }
        SharedInts[c.request] = c.value;
        serve();
        EXPECT_EQ(SharedInts[c.request].load(), 0);
        EXPECT_EQ(last_title(), c.message);
        EXPECT_EQ(listed().size(), c.left);
    }
}

TEST_F(PingRequests, SortingAColumnThreeTimesGoesUpDownAndBackToTheCreationOrder) {
    {
        std::lock_guard guard(PingListMutex);
        int time = 5;
        for (PSys& host : PingHostList) host.Time = time--;
    }
    const std::vector<std::pair<const wchar_t*, std::vector<std::wstring>>> steps = {
        {L"Sorting Column #3 = Ascending", {L"127.0.0.3", L"127.0.0.2", L"127.0.0.1"}},
        {L"Sorting Column #3 = Descending", {L"127.0.0.1", L"127.0.0.2", L"127.0.0.3"}},
        {L"Sorting Column #3 = None", {L"127.0.0.1", L"127.0.0.2", L"127.0.0.3"}},
    };
    for (const auto& [message, order] : steps) {
        SharedInts[PING_REQ_SORT] = 3;
        serve();
        EXPECT_EQ(SharedInts[PING_REQ_SORT].load(), 0);
        EXPECT_EQ(last_title(), message);
        EXPECT_EQ(listed(), order);
    }
}

TEST_F(PingRequests, ARightClickPausesAHostOrCopiesItsLog) {
    SharedInts[PING_REQ_ROW_ACTION] = 2;
    serve();
    {
        std::lock_guard guard(PingListMutex);
        EXPECT_EQ(std::next(PingHostList.begin())->Actv, 0);
    }
    {
        std::lock_guard guard(PingListMutex);
        PSys& host = PingHostList.front();
        host.PV = {{1'700'000'000, 12}, {1'700'000'060, -1}};
        host.Sent = 2;
        host.Lost = 1;
        host.Recv = 1;
    }
    SharedInts[PING_HOVER_X] = 500;
    SharedInts[PING_REQ_ROW_ACTION] = 1;
    serve();
    EXPECT_EQ(SharedInts[PING_HOVER_X].load(), 0);
    const std::wstring log = Tab.clipboard;
    EXPECT_NE(log.find(L".       IP Address: 127.0.0.1\r\n"), std::wstring::npos) << log.substr(0, 300);
    EXPECT_NE(log.find(L".           % Lost: 50.0000%\r\n"), std::wstring::npos);
    EXPECT_NE(log.find(L"0001  " + date_format(L"%yyyy-%mm-%dd  %hh:%ii:%ss", 1'700'000'060) + L"  Timed Out\r\n"),
              std::wstring::npos);
    EXPECT_EQ(last_title(), L"127.0.0.1 Data saved To clipboard.");
}

// Names come from the network: only a valid DNS name is opened, and only as an http address.
TEST_F(PingRequests, OutsideProgramsGetOnlyCheckedAddressesAndNames) {
    const std::vector<std::pair<std::wstring, std::vector<std::wstring>>> cases = {
        {L"router.example.com", {L"http://router.example.com"}},
        {L"x.example\" & calc", {}},
        {L"box", {}},
        {L"-bad.example", {}},
        {L"file:c:.example", {}},
    };
    for (const auto& [name, opened] : cases) {
        SCOPED_TRACE(name);
        fake_tab_reset();
        {
            std::lock_guard guard(PingListMutex);
            PingHostList.front().Host = name;
        }
        SharedInts[PING_REQ_OPEN_NAME] = 1;
        serve();
        EXPECT_EQ(SharedInts[PING_REQ_OPEN_NAME].load(), -1);
        EXPECT_EQ(Tab.opened, opened);
    }
    fake_tab_reset();
    SharedInts[PING_REQ_OPEN_BROWSER] = 2;
    SharedInts[PING_REQ_REMOTE_DESKTOP] = 3;
    SharedInts[PING_REQ_OPEN_NAME] = 9;  // beyond the list: dropped
    serve();
    EXPECT_EQ(Tab.opened, (std::vector<std::wstring>{L"MSTSC /Public /V:127.0.0.3", L"http://127.0.0.2"}));
    EXPECT_EQ(SharedInts[PING_REQ_OPEN_NAME].load(), -1);
}

TEST_F(PingRequests, SelectingTimedOutHostsSelectsOnlyActiveOnes) {
    {
        std::lock_guard guard(PingListMutex);
        auto host = PingHostList.begin();
        host->Time = -1;
        (++host)->Time = -1;
        host->Actv = 0;
        (++host)->HiLi = 1;
    }
    SharedInts[PING_REQ_SELECT_TIMED_OUT] = 1;
    serve();
    EXPECT_EQ(last_title(), L"1 Inactive Pings Selected");
    std::lock_guard guard(PingListMutex);
    std::vector<int> selected;
    for (const PSys& host : PingHostList) selected.push_back(host.HiLi);
    EXPECT_EQ(selected, (std::vector<int>{1, 0, 0}));
}

// The status line holds a message itself: the monitor hands it the text once, redraws the header with the
// empty text (never the old message again), and leaves the hold to the drawing until its own expiry.
TEST_F(PingRequests, AMessageGoesToTheStatusLineOnceAndItsExpiryBringsTheHeaderBack) {
    SharedQuads[PING_MESSAGE_UNTIL] = 0;
    add_request(static_cast<int32_t>(address_of(127, 0, 0, 2)), L"127.0.0.2");
    EXPECT_EQ(SharedQuads[PING_MESSAGE_UNTIL].load(), 0) << "the monitor keeps a timer of its own";
    EXPECT_EQ(shared_text(STATUS_MESSAGE), L"Duplicate IP found: 127.0.0.2");
    add_request(static_cast<int32_t>(address_of(127, 0, 0, 9)), L"");
    SharedQuads[PING_MESSAGE_UNTIL] = date_now() - 1;  // what the drawing held has run out
    serve();
    EXPECT_EQ(SharedQuads[PING_MESSAGE_UNTIL].load(), 0);
    EXPECT_EQ(shared_text(STATUS_MESSAGE), L"");
    std::lock_guard guard(Tab.lock);
    const std::vector<std::wstring> expected = {L"Duplicate IP found: 127.0.0.2", L"", L""};
    EXPECT_EQ(Tab.status_lines, expected) << "an added host and the expiry draw the header, not the message";
}

}  // namespace

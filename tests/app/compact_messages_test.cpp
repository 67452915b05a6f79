// The decisions of the compact window's message callback.
#include "app/compact_messages.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t QUERY_END_SESSION = 0x11;
constexpr uint32_t END_SESSION = 0x16;
constexpr uint32_t DEVICE_CHANGE = 0x219;
constexpr uint32_t ACTIVATE = 0xC100;
constexpr uint32_t QUIT = 0xC101;
constexpr uint32_t PAINT = 0x0F;

SessionMessage message_of(uint32_t message, uintptr_t wparam, bool quitting) {
    SessionMessage facts;
    facts.message = message;
    facts.wparam = wparam;
    facts.quitting = quitting;
    facts.activate_message = ACTIVATE;
    facts.quit_message = QUIT;
    return facts;
}

TEST(CompactMessages, MessageRouting) {
    struct Case {
        const char* what;
        bool quitting;
        uint32_t message;
        uintptr_t wparam;
        SessionAction action;
        intptr_t answer;
    };
    const Case cases[] = {
        {"the session may end", false, QUERY_END_SESSION, 0, SESSION_EXIT_END_SESSION, 0},
        {"the session ends", false, END_SESSION, 1, SESSION_EXIT_END_SESSION, 0},
        {"the end was cancelled", false, END_SESSION, 0, SESSION_ANSWER, 0},
        {"another start wants us in front", false, ACTIVATE, 0, SESSION_ACTIVATE, 0},
        {"another start wants us to quit", false, QUIT, 0, SESSION_EXIT_QUIT, 0},
        {"anything else", false, PAINT, 0, SESSION_PASS, 0},
        // While quitting nothing starts again, and the end of the session is not refused.
        {"quitting: the session may end", true, QUERY_END_SESSION, 0, SESSION_ANSWER, 1},
        {"quitting: the session ends", true, END_SESSION, 1, SESSION_ANSWER, 0},
        {"quitting: activate", true, ACTIVATE, 0, SESSION_ANSWER, 0},
        {"quitting: quit", true, QUIT, 0, SESSION_ANSWER, 0},
        {"quitting: a volume arrives", true, DEVICE_CHANGE, 0x8000, SESSION_ANSWER, 1},
        {"quitting: painting and closing go on", true, PAINT, 0, SESSION_PASS, 0},
    };
    for (const Case& c : cases) {
        const SessionRoute route = compact_message_route(message_of(c.message, c.wparam, c.quitting));
        EXPECT_EQ(route.action, c.action) << c.what;
        EXPECT_EQ(route.answer, c.answer) << c.what;
    }
}

TEST(CompactMessages, OnlyAReadableVolumeHeaderCounts) {
    SessionMessage facts = message_of(DEVICE_CHANGE, 0x8000, false);
    facts.device_header_valid = true;
    facts.device_type = 2;
    EXPECT_EQ(compact_message_route(facts).action, SESSION_VOLUME_ARRIVED);
    facts.wparam = 0x8004;
    EXPECT_EQ(compact_message_route(facts).action, SESSION_VOLUME_REMOVED);
    facts.wparam = 0x8001;  // a query, not an arrival or removal
    EXPECT_EQ(compact_message_route(facts).action, SESSION_PASS);
    facts.wparam = 0x8000;
    facts.device_type = 3;  // a port
    EXPECT_EQ(compact_message_route(facts).action, SESSION_PASS);
    facts.device_type = 2;
    facts.device_header_valid = false;  // no header, or one that cannot be read
    EXPECT_EQ(compact_message_route(facts).action, SESSION_PASS);
}

TEST(CompactMessages, UnregisteredMessagesAreNotTakenForTheInstanceMessages) {
    SessionMessage facts = message_of(0, 0, false);
    facts.activate_message = 0;
    facts.quit_message = 0;
    EXPECT_EQ(compact_message_route(facts).action, SESSION_PASS);
}

}  // namespace

// The decisions of the compact window's message callback.
#include "app/compact_messages.h"

namespace {

constexpr uint32_t QUERY_END_SESSION = 0x11;
constexpr uint32_t END_SESSION = 0x16;
constexpr uint32_t DEVICE_CHANGE = 0x219;
constexpr uintptr_t DEVICE_ARRIVAL = 0x8000;
constexpr uintptr_t DEVICE_REMOVE_COMPLETE = 0x8004;
constexpr uint32_t DEVICE_TYPE_VOLUME = 2;

bool registered(uint32_t message, uint32_t wanted) { return wanted != 0 && message == wanted; }

}  // namespace

SessionRoute compact_message_route(const SessionMessage& m) {
    const bool device_change = m.message == DEVICE_CHANGE;
    const bool single_instance = registered(m.message, m.activate_message) || registered(m.message, m.quit_message);
    if (m.quitting) {
        if (m.message == QUERY_END_SESSION) return {SESSION_ANSWER, 1};
        if (m.message == END_SESSION || single_instance) return {SESSION_ANSWER, 0};
        if (device_change) return {SESSION_ANSWER, 1};  // TRUE: nothing is refused
        return {SESSION_PASS, 0};
    }
    if (m.message == QUERY_END_SESSION) return {SESSION_EXIT_END_SESSION, 0};
    if (m.message == END_SESSION)
        return m.wparam != 0 ? SessionRoute{SESSION_EXIT_END_SESSION, 0} : SessionRoute{SESSION_ANSWER, 0};
    if (registered(m.message, m.activate_message)) return {SESSION_ACTIVATE, 0};
    if (registered(m.message, m.quit_message)) return {SESSION_EXIT_QUIT, 0};
    if (device_change && m.device_header_valid && m.device_type == DEVICE_TYPE_VOLUME) {
        if (m.wparam == DEVICE_ARRIVAL) return {SESSION_VOLUME_ARRIVED, 0};
        if (m.wparam == DEVICE_REMOVE_COMPLETE) return {SESSION_VOLUME_REMOVED, 0};
    }
    return {SESSION_PASS, 0};
}

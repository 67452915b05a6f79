// The single-instance decisions: command words and the hand-over rounds.
#include "core/single_instance.h"

std::wstring command_line_join(const std::vector<std::wstring>& lowered_parameters) {
    std::wstring line;
    for (const std::wstring& parameter : lowered_parameters) {
        line += parameter;
        line += L' ';
    }
    return line;
}

CommandWords command_words(std::wstring_view command_line) {
    CommandWords words;
    words.shutdown = command_line.find(L"shutdown") != std::wstring_view::npos;
    words.restart = !words.shutdown && command_line.find(L"restart") != std::wstring_view::npos;
    return words;
}

TakeoverStep takeover_step(TakeoverWait result, int rounds_done) {
    switch (result) {
        case TAKEOVER_OWNED: return TAKEOVER_DONE;
        case TAKEOVER_TIMED_OUT: return rounds_done + 1 >= TAKEOVER_ROUNDS ? TAKEOVER_GIVE_UP : TAKEOVER_WAIT_AGAIN;
        default: return TAKEOVER_GIVE_UP;
    }
}

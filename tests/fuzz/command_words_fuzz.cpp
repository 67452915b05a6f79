// Fuzz target: the command words. A command line is split into arguments as the C runtime and
// CommandLineToArgvW split it, lower-cased and joined as start-up keeps it; then the words that end, restart,
// size, place on a tab and skip the counter repair are read from it. The other way round, the line that restarts
// the program, and any argument quoted for a command line, split back into exactly what was quoted, so no path
// adds, loses or changes a word; and the restarted program reads "restart" and never "shutdown".
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/self_start_line.h"
#include "core/single_instance.h"
#include "system/perf_counter_paths.h"
#include "tests/fuzz/fuzz_support.h"
#include "ui/main_layout.h"
#include "ui/resize_preview.h"

namespace {

bool blank(wchar_t c) { return c == L' ' || c == L'\t'; }

// A command line split as Windows documents it. The program's name ends at the first blank, or at the closing
// quote when it starts with one, and knows no escapes. In the arguments, blanks outside quotes separate them; 2n
// backslashes and a quote give n backslashes and open or close a quoted part, 2n+1 give n and a literal quote;
// inside a quoted part "" is a literal quote; other backslashes are literal.
std::vector<std::wstring> arguments_split(std::wstring_view line) {
    std::vector<std::wstring> words;
    std::size_t i = 0;
    std::wstring program;
    if (i < line.size() && line[i] == L'"') {
        ++i;
        while (i < line.size() && line[i] != L'"') program += line[i++];
        if (i < line.size()) ++i;
    } else {
        while (i < line.size() && !blank(line[i])) program += line[i++];
    }
    words.push_back(program);
    for (;;) {
        while (i < line.size() && blank(line[i])) ++i;
        if (i >= line.size()) return words;
        std::wstring word;
        bool quoted = false;
        while (i < line.size() && (quoted || !blank(line[i]))) {
            std::size_t backslashes = 0;
            while (i < line.size() && line[i] == L'\\') {
                ++backslashes;
                ++i;
            }
            if (i < line.size() && line[i] == L'"') {
                word.append(backslashes / 2, L'\\');
                if (backslashes % 2 == 1) {
                    word += L'"';
                    ++i;
                } else if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
                    word += L'"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                word.append(backslashes, L'\\');
                if (i < line.size() && (quoted || !blank(line[i]))) word += line[i++];
            }
        }
        words.push_back(word);
    }
}

std::wstring lowered(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    return text;
}

const std::vector<std::wstring>& tab_captions() {
    static const std::vector<std::wstring> captions = [] {
        std::vector<std::wstring> list;
        const wchar_t* words[] = {L"System", L"Processors", L"Graphics", L"Storage", L"Networks",
                                  L"Ping",   L"Events",     L"Settings", L"About"};
        for (int tab = 0; tab < 9; ++tab) list.push_back(tab_caption(tab, words[tab]));
        return list;
    }();
    return captions;
}

// The words as start-up reads them from the arguments after the program's name.
void words_check(const std::vector<std::wstring>& arguments, const DesktopFacts& desktop, int width_step,
                 int height_step) {
    std::vector<std::wstring> parameters;
    std::size_t length = 0;
    for (std::size_t a = 1; a < arguments.size(); ++a) {
        parameters.push_back(lowered(arguments[a]));
        length += arguments[a].size() + 1;
    }
    const std::wstring line = command_line_join(parameters);
    PROPERTY(line.size() == length);

    const CommandWords words = command_words(line);
    PROPERTY(words.shutdown == (line.find(L"shutdown") != std::wstring::npos));
    PROPERTY(words.restart == (!words.shutdown && line.find(L"restart") != std::wstring::npos));
    PROPERTY(perf_repair_wanted(L"", line) == (line.find(L"norepair") == std::wstring::npos));
    PROPERTY(!perf_repair_wanted(L"Processor", line));

    const int tab = tab_from_command_line(tab_captions(), line);
    PROPERTY(tab >= -1 && tab < static_cast<int>(tab_captions().size()));
    for (int t = 0; t < static_cast<int>(tab_captions().size()); ++t) {
        std::wstring word = lowered(tab_captions()[static_cast<std::size_t>(t)]);
        word.erase(0, word.find_first_not_of(L' '));
        word.erase(word.find_last_not_of(L' ') + 1);
        const bool found = line.find(word) != std::wstring::npos;
        if (t < tab) PROPERTY(!found);
        if (t == tab) PROPERTY(found);
        if (tab == -1) PROPERTY(!found);
    }

    const MainWindowSize size = main_window_size(line, desktop, width_step, height_step);
    PROPERTY(size.width >= 1 && size.height >= 1);
    const ResizePreviewSize preview = resize_preview_size(line, desktop, width_step, height_step);
    PROPERTY(preview.inner.width >= 1 && preview.inner.height >= 1);
}

// Quoting, then splitting: the same arguments back.
void quoting_check(const std::wstring& program, const std::wstring& argument) {
    // A program's path holds no quote and does not end in a backslash (the name of its file comes last).
    if (program.find(L'"') == std::wstring::npos && program.find(L'\0') == std::wstring::npos &&
        (program.empty() || program.back() != L'\\')) {
        const std::vector<std::wstring> restarted = arguments_split(self_start_command_line(program));
        PROPERTY(restarted == (std::vector<std::wstring>{program, L"restart", L"norepair"}));
        std::vector<std::wstring> parameters;
        for (std::size_t a = 1; a < restarted.size(); ++a) parameters.push_back(lowered(restarted[a]));
        const CommandWords words = command_words(command_line_join(parameters));
        PROPERTY(words.restart && !words.shutdown);
    }
    if (argument.find(L'\0') == std::wstring::npos) {
        const std::vector<std::wstring> split = arguments_split(L"p.exe " + command_line_argument(argument));
        PROPERTY(split == (std::vector<std::wstring>{L"p.exe", argument}));
    }
}

// A text of UTF-16 units, two bytes each.
std::wstring wide_text(FuzzedDataProvider& input, std::size_t most) {
    const std::string bytes = input.ConsumeRandomLengthString(most);
    std::wstring text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text +=
            static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    DesktopFacts desktop;
    desktop.monitor_width = input.ConsumeIntegralInRange(-1, 20000);
    desktop.monitor_height = input.ConsumeIntegralInRange(-1, 20000);
    desktop.dpi = input.ConsumeIntegralInRange(0, 1000);
    desktop.caption_height = input.ConsumeIntegralInRange(0, 500);
    desktop.frame_width = input.ConsumeIntegralInRange(0, 500);
    desktop.frame_height = input.ConsumeIntegralInRange(0, 500);
    const int width_step = input.ConsumeIntegralInRange(-2, 17);
    const int height_step = input.ConsumeIntegralInRange(-2, 17);

    const std::wstring program = wide_text(input, 600);
    const std::wstring argument = wide_text(input, 600);
    std::wstring line;
    for (const char c : input.ConsumeRemainingBytesAsString())
        line += static_cast<wchar_t>(static_cast<unsigned char>(c));

    words_check(arguments_split(line), desktop, width_step, height_step);
    quoting_check(program, argument);
    return 0;
}

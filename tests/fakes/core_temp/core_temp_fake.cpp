// A stand-in for the outside temperature tool: publishes its named shared memory with the values the
// command line gives, for the tests of the temperature reader. Copy it to a file named "Core Temp.exe".
//
//   --limit N        temperature limit at offset 1024 (default 100)
//   --temps A,B,...  core temperatures; "nan" and "inf" are allowed (default 40,41)
//   --count N        core count to publish instead of the number of temperatures (a lying count)
//   --name TEXT      processor name at offset 2584 (default "Fake CPU")
//   --long-name      fill the name to the end of the memory without a terminator
//   --size N         size of the mapping in bytes (default 4096)
//   --delay-ms N     run this long before the memory is published
//   --seconds N      end after this many seconds (default 60)
//   --follow         after publishing, read lines of temperatures ("A,B,...", as --temps) from the standard
//                    input and publish each as it comes, like the real tool that updates its memory in
//                    place; end when the input ends
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr std::size_t LIMIT_OFFSET = 1024;
constexpr std::size_t COUNT_OFFSET = 1536;
constexpr std::size_t TEMPERATURES_OFFSET = 1544;
constexpr std::size_t NAME_OFFSET = 2584;

std::vector<float> parse_temperatures(const std::wstring& list) {
    std::vector<float> values;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = list.find(L',', start);
        const std::wstring item = list.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (item == L"nan") {
            values.push_back(NAN);
        } else if (item == L"inf") {
            values.push_back(INFINITY);
        } else if (!item.empty()) {
            values.push_back(std::wcstof(item.c_str(), nullptr));
        }
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return values;
}

template <typename T>
void put(std::uint8_t* memory, std::size_t size, std::size_t offset, T value) {
    if (offset + sizeof value <= size) std::memcpy(memory + offset, &value, sizeof value);
}

void temperatures_put(std::uint8_t* memory, std::size_t size, const std::vector<float>& temperatures, int64_t count) {
    put<int32_t>(memory, size, COUNT_OFFSET,
                 static_cast<int32_t>(count >= 0 ? count : static_cast<int64_t>(temperatures.size())));
    for (std::size_t j = 0; j < temperatures.size(); ++j)
        put<float>(memory, size, TEMPERATURES_OFFSET + 4 * j, temperatures[j]);
}

// Publishes each line of the standard input as the new temperatures until the input ends.
void temperatures_follow(std::uint8_t* memory, std::size_t size, int64_t count) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string line;
    char c = 0;
    DWORD read = 0;
    while (ReadFile(input, &c, 1, &read, nullptr) && read == 1) {
        if (c == '\r') continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        temperatures_put(memory, size, parse_temperatures(std::wstring(line.begin(), line.end())), count);
        line.clear();
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int32_t limit = 100;
    std::vector<float> temperatures{40.0f, 41.0f};
    int64_t count = -1;
    std::string name = "Fake CPU";
    bool long_name = false;
    std::size_t size = 4096;
    DWORD delay_ms = 0;
    DWORD seconds = 60;
    bool follow = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        const std::wstring next = i + 1 < argc ? argv[i + 1] : L"";
        if (option == L"--limit")
            limit = std::wcstol(next.c_str(), nullptr, 10), ++i;
        else if (option == L"--temps")
            temperatures = parse_temperatures(next), ++i;
        else if (option == L"--count")
            count = std::wcstoll(next.c_str(), nullptr, 10), ++i;
        else if (option == L"--name")
            name.assign(next.begin(), next.end()), ++i;
        else if (option == L"--long-name")
            long_name = true;
        else if (option == L"--size")
            size = std::wcstoul(next.c_str(), nullptr, 10), ++i;
        else if (option == L"--delay-ms")
            delay_ms = std::wcstoul(next.c_str(), nullptr, 10), ++i;
        else if (option == L"--seconds")
            seconds = std::wcstoul(next.c_str(), nullptr, 10), ++i;
        else if (option == L"--follow")
            follow = true;
    }
    if (delay_ms) Sleep(delay_ms);

    const HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              static_cast<DWORD>(size), L"CoreTempMappingObjectEx");
    if (!mapping) return 1;
    auto* memory = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, size));
    if (!memory) return 2;
    put<int32_t>(memory, size, LIMIT_OFFSET, limit);
    temperatures_put(memory, size, temperatures, count);
    if (long_name) {
        if (size > NAME_OFFSET) std::memset(memory + NAME_OFFSET, 'N', size - NAME_OFFSET);
    } else {
        for (std::size_t i = 0; i < name.size() && NAME_OFFSET + i + 1 < size; ++i)
            memory[NAME_OFFSET + i] = static_cast<std::uint8_t>(name[i]);
    }
    if (follow)
        temperatures_follow(memory, size, count);
    else
        Sleep(seconds * 1000);
    UnmapViewOfFile(memory);
    CloseHandle(mapping);
    return 0;
}

// What the fake libraries share: their answers come from a key=value file that an environment variable names,
// read again at each call so that a test can change the values while the program runs, and the events they
// note are appended to that file's name + ".log".
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

class FakeConfig {
public:
    explicit FakeConfig(const char* variable) : variable_(variable) {}

    std::string path() const {
        char path[MAX_PATH] = {};
        const DWORD n = GetEnvironmentVariableA(variable_, path, MAX_PATH);
        return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
    }

    std::map<std::string, std::string> values() const {
        std::map<std::string, std::string> values;
        FILE* file = std::fopen(path().c_str(), "rb");
        if (!file) return values;
        char line[512];
        while (std::fgets(line, sizeof line, file)) {
            std::string text(line);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
            const auto eq = text.find('=');
            if (eq != std::string::npos) values[text.substr(0, eq)] = text.substr(eq + 1);
        }
        std::fclose(file);
        return values;
    }

    std::string value(const std::string& key, const std::string& fallback = "") const {
        const auto all = values();
        const auto found = all.find(key);
        return found == all.end() ? fallback : found->second;
    }

    long long number(const std::string& key, long long fallback = 0) const {
        const std::string text = value(key);
        return text.empty() ? fallback : std::strtoll(text.c_str(), nullptr, 10);
    }

    void log(const char* text) const {
        const std::string file_path = path();
        if (file_path.empty()) return;
        FILE* file = std::fopen((file_path + ".log").c_str(), "ab");
        if (!file) return;
        std::fprintf(file, "%s\n", text);
        std::fclose(file);
    }

private:
    const char* variable_;
};

// What the integration tests share: paths under Wine, the program folder of a run, the single-instance
// mutex, the display check and screenshots.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

// The screen's pixels under a window (the part on the screen), as a 24-bit BMP file.
inline bool screenshot_save(HWND hwnd, const std::wstring& path) {
    RECT area{};
    if (!GetWindowRect(hwnd, &area)) return false;
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    area.right = std::min<LONG>(area.right, GetSystemMetrics(SM_CXSCREEN));
    area.bottom = std::min<LONG>(area.bottom, GetSystemMetrics(SM_CYSCREEN));
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (dc && bitmap) {
        HGDIOBJ previous = SelectObject(dc, bitmap);
        BitBlt(dc, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        const DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
        const DWORD image_size = row * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        file.bfSize = file.bfOffBits + image_size;
        std::ofstream out(std::filesystem::path(path), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof(file));
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
        out.write(static_cast<const char*>(bits), image_size);
        saved = out.good();
        SelectObject(dc, previous);
    }
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return saved;
}

// A Linux path as Wine shows it to a Windows program.
inline std::wstring windows_path(const char* linux_path) {
    std::wstring path = L"Z:";
    for (const char* c = linux_path; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return path;
}

inline bool instance_mutex_exists() {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"SotRix");
    if (!mutex) return false;
    CloseHandle(mutex);
    return true;
}

// True when windows can be created (a display is there).
inline bool display_available() {
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
}

// Waits up to 20 s for a program left by an earlier, interrupted run to end; true when none runs.
inline bool no_instance_runs() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (instance_mutex_exists() && std::chrono::steady_clock::now() < end) Sleep(100);
    return !instance_mutex_exists();
}

// A new folder under the temporary folder with a copy of the program in it; false when the copy failed.
inline bool program_folder_make(const std::wstring& prefix, std::filesystem::path& folder, std::filesystem::path& exe) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder = std::filesystem::path(temp) /
             (prefix + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64()));
    std::filesystem::create_directories(folder);
    exe = folder / L"Sotrix.exe";
    return CopyFileW(windows_path(SOTRIX_EXE_PATH).c_str(), exe.c_str(), FALSE) != 0;
}

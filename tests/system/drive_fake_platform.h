// A machine of made-up drives in place of the Windows drive queries, and a recorder in place of the
// windows, the tray and the lists, for the drive monitor's tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "system/drive_facts.h"
#include "system/drive_watcher_round.h"

struct FakeDrive {
    wchar_t letter = L'C';
    int type = 3;
    bool readable = true;  // a volume (and medium) is there
    uint32_t serial = 0x1A2B3C4D;
    std::wstring label = L"System";
    std::wstring file_system = L"NTFS";
    uint32_t name_length = 255;
    int64_t total = 1'000'000'000;
    int64_t free = 250'000'000;
    bool opened = true;
    bool number_read = true;
    int32_t device_number = 0;
    int32_t partition_number = 2;
    std::string vendor = "ATA";
    std::string product = "FAST SSD 1TB";
    int32_t style = 1;
    int network_result = 0;
    std::wstring remote;
    bool cd_audio = false;
    int32_t tracks = 0;
    int32_t seconds = 0;
};

inline std::vector<FakeDrive> FakeDrives;
inline bool FakeRootsReadable = true;
inline int FakeDiskQueries = 0;
inline int64_t FakeReadTime = 0;
inline int64_t FakeWriteTime = 0;
inline bool FakePerformanceReadable = true;

inline FakeDrive* fake_drive(wchar_t letter) {
    for (auto& drive : FakeDrives) {
        if (drive.letter == letter) return &drive;
    }
    return nullptr;
}

// A STORAGE_DEVICE_DESCRIPTOR as a driver returns it: the fixed part, then the vendor and product texts.
inline std::vector<uint8_t> fake_descriptor(const std::string& vendor, const std::string& product) {
    const std::size_t vendor_at = 36;
    const std::size_t product_at = vendor_at + (vendor.empty() ? 0 : vendor.size() + 1);
    const std::size_t size = product_at + (product.empty() ? 0 : product.size() + 1);
    std::vector<uint8_t> bytes(size, 0);
    auto put = [&bytes](std::size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    auto text = [&bytes](std::size_t at, const std::string& chars) {
        for (std::size_t i = 0; i < chars.size(); ++i) bytes[at + i] = static_cast<uint8_t>(chars[i]);
    };
    put(4, static_cast<uint32_t>(size));
    if (!vendor.empty()) {
        put(12, static_cast<uint32_t>(vendor_at));
        text(vendor_at, vendor);
    }
    if (!product.empty()) {
        put(16, static_cast<uint32_t>(product_at));
        text(product_at, product);
    }
    return bytes;
}

inline const DrivePlatform& fake_platform() {
    static const DrivePlatform platform{
        .drive_roots =
            [](std::vector<std::wstring>& roots) {
                roots.clear();
                for (const auto& drive : FakeDrives) roots.push_back(std::wstring(1, drive.letter) + L":\\");
                return FakeRootsReadable;
            },
        .drive_type =
            [](wchar_t letter) {
                const FakeDrive* drive = fake_drive(letter);
                return drive ? drive->type : 1;
            },
        .volume_info =
            [](wchar_t letter, VolumeInfo& info) {
                const FakeDrive* drive = fake_drive(letter);
                if (!drive || !drive->readable) return false;
                info = {drive->serial, drive->label, drive->name_length, drive->file_system};
                return true;
            },
        .disk_space =
            [](wchar_t letter, int64_t& total, int64_t& free) {
                const FakeDrive* drive = fake_drive(letter);
                if (!drive || !drive->readable) return false;
                total = drive->total;
                free = drive->free;
                return true;
            },
        .disk_query =
            [](wchar_t letter, DiskQuery& query) {
                ++FakeDiskQueries;
                const FakeDrive* drive = fake_drive(letter);
                if (!drive || !drive->opened) return;
                query.volume_opened = true;
                query.number_read = drive->number_read;
                if (drive->number_read) {
                    query.device_number = drive->device_number;
                    query.partition_number = drive->partition_number;
                }
                query.descriptor = fake_descriptor(drive->vendor, drive->product);
                query.partition_style = drive->style;
            },
        .network_connection =
            [](wchar_t letter, std::wstring& remote) {
                const FakeDrive* drive = fake_drive(letter);
                if (!drive) return 1200;
                remote = drive->remote;
                return drive->network_result;
            },
        .cd_audio =
            [](wchar_t letter, int32_t& tracks, int32_t& seconds) {
                const FakeDrive* drive = fake_drive(letter);
                if (!drive || !drive->cd_audio) return false;
                tracks = drive->tracks;
                seconds = drive->seconds;
                return true;
            },
        .disk_performance =
            [](int64_t& read_time, int64_t& write_time) {
                if (!FakePerformanceReadable) return false;
                read_time = FakeReadTime;
                write_time = FakeWriteTime;
                return true;
            },
    };
    return platform;
}

struct FakeUiRecord {
    std::vector<std::pair<int, CellDrawForce>> draws;
    int fits = 0;
    int layouts = 0;
    int font_applies = 0;
    bool window_normal = true;
    bool title_accepted = true;
    std::vector<std::wstring> titles;
    std::vector<std::wstring> tooltips;
    std::vector<int> images;
    int beeps = 0;
    DriveFilterItems filter;
    int clipboard_copies = 0;
    DriveNotes notes;
};
inline FakeUiRecord FakeUi;

inline const DriveUi& fake_ui() {
    static const DriveUi ui{
        .cell_draw = [](int cell, CellDrawForce force) { FakeUi.draws.emplace_back(cell, force); },
        .compact_window_fit = [] { ++FakeUi.fits; },
        .compact_window_layout = [] { ++FakeUi.layouts; },
        .compact_font_apply = [] { ++FakeUi.font_applies; },
        .compact_window_normal = [] { return FakeUi.window_normal; },
        .compact_title_set =
            [](const std::wstring& text) {
                if (FakeUi.title_accepted) FakeUi.titles.push_back(text);
                return FakeUi.title_accepted;
            },
        .tray_tooltip_set = [](const std::wstring& text) { FakeUi.tooltips.push_back(text); },
        .tray_image_set = [](int image) { FakeUi.images.push_back(image); },
        .beep = [] { ++FakeUi.beeps; },
        .filter_items_set = [](const DriveFilterItems& items) { FakeUi.filter = items; },
        .clipboard_copy =
            [](int tab) {
                FakeUi.clipboard_copies += tab == TAB_STORAGE ? 1 : 100;
                SharedInts[COPY_TAB_REQUEST] = -1;
            },
        .notes_post =
            [](const DriveNotes& notes) { FakeUi.notes.insert(FakeUi.notes.end(), notes.begin(), notes.end()); },
    };
    return ui;
}

// A fresh program state in English with an empty machine.
inline void drive_test_reset() {
    shared_state_init(SharedStateFacts{});
    shared_tables_init();
    text_maps_load(LANGUAGE_ENGLISH);
    drive_type_names_fill();
    SharedInts[WINDOWS_BUILD] = 19045;
    SharedQuads[MPR_LIBRARY] = 1;
    FakeDrives.clear();
    FakeRootsReadable = true;
    FakeDiskQueries = 0;
    FakeReadTime = 0;
    FakeWriteTime = 0;
    FakePerformanceReadable = true;
    FakeUi = FakeUiRecord{};
}

// The letters of the fake machine become DRIVE_LETTERS, then the table is rebuilt and the filter filled,
// as start-up and the drive-set check do.
inline void fake_rescan() {
    std::wstring letters;
    for (const auto& drive : FakeDrives) letters += drive.letter;
    shared_text_set(DRIVE_LETTERS, letters);
    drive_rescan_apply(fake_platform(), fake_ui());
    drive_filter_apply(fake_ui());
}

// Notes of one target, in the order they were made.
inline std::vector<std::wstring> fake_notes(DriveNoteTarget target) {
    std::vector<std::wstring> texts;
    for (const auto& note : FakeUi.notes) {
        if (note.target == target) texts.push_back(note.text);
    }
    return texts;
}

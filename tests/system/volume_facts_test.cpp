// Volume serials, labels and renames, and the disk facts behind a drive letter, on made-up devices.
#include <gtest/gtest.h>

#include "drive_fake_platform.h"
#include "system/volume_facts.h"

namespace {

using Lines = std::vector<std::wstring>;

TEST(VolumeFacts, SerialsAreTwoGroupsOfFourHexDigits) {
    EXPECT_EQ(volume_serial_text(0x1A2B3C4D), L"1A2B-3C4D");
    EXPECT_EQ(volume_serial_text(0xABCD), L"0000-ABCD");
    EXPECT_EQ(volume_serial_text(0), L"0000-0000");
    EXPECT_EQ(volume_serial_text(0xFFFFFFFF), L"FFFF-FFFF");
}

TEST(VolumeFacts, DevicePartitionKeepsEveryDigitOfBothNumbers) {
    struct Case {
        int32_t disk;
        int32_t partition;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, 2, L"0:2"},
        {10, 12, L"10:12"},
        {10, 128, L"10:128"},
        {3, -1, L"3:-"},
        {2147483647, 2147483647, L"2147483647:2147483647"},
        {-1, 2, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(device_partition_text(c.disk, c.partition), c.text) << c.text;
        // The drive table's field holds the whole text, not a cut-off start of it.
        DriveEntry drive;
        drive.device_partition = device_partition_text(c.disk, c.partition);
        EXPECT_EQ(drive.device_partition.str(), c.text) << c.text;
    }
    EXPECT_EQ(partition_style_text(0), L"MBR");
    EXPECT_EQ(partition_style_text(1), L"GPT");
    EXPECT_EQ(partition_style_text(2), L"RAW");
    EXPECT_EQ(partition_style_text(-1), L"");
    EXPECT_EQ(partition_style_text(7), L"");
}

// The storage driver's offsets are trusted only inside the bytes it returned.
TEST(VolumeFacts, DescriptorTextsAreReadOnlyInsideTheBytesReturned) {
    const std::vector<uint8_t> good = fake_descriptor("  Samsung ", " SSD 870 EVO ");
    EXPECT_EQ(storage_descriptor_text(good.data(), good.size()), L"Samsung SSD 870 EVO");

    auto with_offsets = [](std::vector<uint8_t> bytes, uint32_t vendor, uint32_t product) {
        for (int i = 0; i < 4; ++i) {
            bytes[12 + i] = static_cast<uint8_t>(vendor >> (8 * i));
            bytes[16 + i] = static_cast<uint8_t>(product >> (8 * i));
        }
        return bytes;
    };
    const std::vector<uint8_t> plain = fake_descriptor("Samsung", "SSD");
    const uint32_t product_at = 36 + 8;  // "Samsung" and its zero take bytes 36 to 43
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::size_t length;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"both", plain, plain.size(), L"Samsung SSD"},
        {"vendor past the end", with_offsets(plain, 5000, product_at), plain.size(), L"SSD"},
        {"product at the end", with_offsets(plain, 36, static_cast<uint32_t>(plain.size())), plain.size(), L"Samsung"},
        {"offsets far out", with_offsets(plain, 0xFFFFFFF0, 0x80000000), plain.size(), L""},
        {"offset into the fixed part", with_offsets(plain, 4, product_at), plain.size(), L"SSD"},
        {"no offsets", with_offsets(plain, 0, 0), plain.size(), L""},
        {"product cut short, no zero", plain, plain.size() - 2, L"Samsung SS"},
        {"only the offsets returned", plain, 20, L""},
        {"not even the offsets", plain, 14, L""},
        {"nothing", plain, 0, L""},
    };
    for (const auto& c : cases) {
        // A copy of exactly `length` bytes, so that the sanitizer sees any read past them.
        const std::vector<uint8_t> returned(c.bytes.begin(), c.bytes.begin() + static_cast<std::ptrdiff_t>(c.length));
        EXPECT_EQ(storage_descriptor_text(returned.data(), returned.size()), c.text) << c.name;
    }
    EXPECT_EQ(storage_descriptor_text(nullptr, 40), L"");
}

TEST(VolumeFacts, DiskInfoFillsTheDriveOrSaysUnknown) {
    drive_test_reset();
    FakeDrive e;
    e.letter = L'E';
    e.device_number = 10;
    e.partition_number = 12;
    e.style = 2;
    FakeDrives = {e};
    DriveWork work;
    drive_work_load(work);
    work.drives[5].drive_type = 3;
    EXPECT_EQ(disk_device_info(work, 5, fake_platform()), 1);
    EXPECT_EQ(work.drives[5].device_number, 10);
    EXPECT_EQ(work.drives[5].partition_number, 12);
    EXPECT_EQ(work.drives[5].device_partition.str(), L"10:12");
    EXPECT_EQ(work.drives[5].partition_style.str(), L"RAW");
    EXPECT_EQ(work.drives[5].device_text.str(), L"ATA FAST SSD 1TB");

    // A disk without a storage device number: maker known, disk and style unknown.
    fake_drive(L'E')->number_read = false;
    EXPECT_EQ(disk_device_info(work, 5, fake_platform()), 1);
    EXPECT_EQ(work.drives[5].device_number, -1);
    EXPECT_EQ(work.drives[5].partition_number, -1);
    EXPECT_TRUE(work.drives[5].device_partition.empty());
    EXPECT_TRUE(work.drives[5].partition_style.empty());
    EXPECT_EQ(work.drives[5].device_text.str(), L"ATA FAST SSD 1TB");

    // A disk whose device number is unknown (all bits set) names no disk either.
    fake_drive(L'E')->number_read = true;
    fake_drive(L'E')->device_number = -1;
    EXPECT_EQ(disk_device_info(work, 5, fake_platform()), 1);
    EXPECT_TRUE(work.drives[5].device_partition.empty());
    EXPECT_TRUE(work.drives[5].partition_style.empty());

    fake_drive(L'E')->opened = false;
    EXPECT_EQ(disk_device_info(work, 5, fake_platform()), 0);
    EXPECT_EQ(work.drives[5].device_number, -1);
    EXPECT_TRUE(work.drives[5].device_text.empty());
    EXPECT_EQ(disk_device_info(work, 0, fake_platform()), 0);
    EXPECT_EQ(disk_device_info(work, 27, fake_platform()), 0);
}

TEST(VolumeFacts, ARenamedVolumeIsReportedOnce) {
    drive_test_reset();
    FakeDrive d;
    d.letter = L'D';
    d.serial = 0x12345678;
    d.label = L"DATA";
    FakeDrives = {d};
    DriveWork work;
    drive_work_load(work);
    work.drives[4].drive_name = L"D:";
    DriveNotes notes;
    // Every form of the root reads the same volume; the first sight only remembers the label.
    for (const wchar_t* root : {L"D", L"D:", L"D:\\", L"d:\\"}) {
        EXPECT_EQ(volume_serial(work, root, VOLUME_FACTS_UPDATE, notes, fake_platform()), L"1234-5678") << root;
    }
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(work.drives[4].volume_name.str(), L"DATA");
    EXPECT_EQ(work.drives[4].file_system.str(), L"NTFS");
    EXPECT_EQ(work.drives[4].name_length, 255);
    work.drives[4].serial = L"1234-5678";

    fake_drive(L'D')->label = L"BACKUP";
    EXPECT_EQ(volume_serial(work, L"D:\\", VOLUME_SERIAL_ONLY, notes, fake_platform()), L"1234-5678");
    EXPECT_TRUE(notes.empty());  // reading the serial alone notices nothing
    volume_serial(work, L"D:\\", VOLUME_FACTS_UPDATE, notes, fake_platform());
    const DriveNotes expected = {
        {NOTE_STORAGE_MONITOR, L"Old: DATA"},
        {NOTE_STORAGE_MONITOR, L"New: BACKUP"},
        {NOTE_STORAGE_MONITOR, L"D: Volume name changed."},
        {NOTE_STORAGE_MONITOR, L"--"},
        {NOTE_LOG, L"D* 1234-5678 Volume Name: \"DATA\" -> \"BACKUP\""},
    };
    EXPECT_EQ(notes, expected);
    notes.clear();
    volume_serial(work, L"D:\\", VOLUME_FACTS_UPDATE, notes, fake_platform());
    EXPECT_TRUE(notes.empty());

    // A removed label is stored as one space and reported once.
    fake_drive(L'D')->label = L"";
    volume_serial(work, L"D", VOLUME_FACTS_UPDATE, notes, fake_platform());
    EXPECT_EQ(work.drives[4].volume_name.str(), L" ");
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_EQ(notes[1].text, L"New:  ");
    notes.clear();
    volume_serial(work, L"D", VOLUME_FACTS_UPDATE, notes, fake_platform());
    EXPECT_TRUE(notes.empty());

    // An unreadable volume leaves the record alone; so does a root that is no drive letter.
    fake_drive(L'D')->readable = false;
    fake_drive(L'D')->label = L"OTHER";
    EXPECT_EQ(volume_serial(work, L"D", VOLUME_FACTS_UPDATE, notes, fake_platform()), L"0000-0000");
    EXPECT_EQ(work.drives[4].volume_name.str(), L" ");
    EXPECT_EQ(volume_serial(work, L"", VOLUME_FACTS_UPDATE, notes, fake_platform()), L"0000-0000");
    EXPECT_EQ(volume_serial(work, L"\\\\?\\", VOLUME_FACTS_UPDATE, notes, fake_platform()), L"0000-0000");
    EXPECT_TRUE(notes.empty());
}

TEST(VolumeFacts, LongLabelsAreCutAndWidenTheFilterColumnUpTo32) {
    drive_test_reset();
    FakeDrive d;
    d.letter = L'D';
    d.label = std::wstring(40, L'L');
    FakeDrives = {d};
    DriveWork work;
    drive_work_load(work);
    DriveNotes notes;
    SharedInts[VOLUME_NAME_WIDTH] = 16;
    volume_serial(work, L"D", VOLUME_FACTS_UPDATE, notes, fake_platform());
    EXPECT_EQ(work.drives[4].volume_name.str(), std::wstring(33, L'L'));
    EXPECT_EQ(SharedInts[VOLUME_NAME_WIDTH].load(), 32);
    fake_drive(L'D')->label = L"Twenty characters ab";
    SharedInts[VOLUME_NAME_WIDTH] = 16;
    volume_serial(work, L"D", VOLUME_FACTS_UPDATE, notes, fake_platform());
    EXPECT_EQ(SharedInts[VOLUME_NAME_WIDTH].load(), 21);
}

}  // namespace

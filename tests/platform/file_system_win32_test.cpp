// The kernel32 file system's drive list, drive types and folder look-ups.
#include <windows.h>

#include "platform/file_system_win32.h"

#include <gtest/gtest.h>

#include <cctype>

namespace hs {
namespace {

TEST(Win32FileSystemTest, DriveTypesInThePortsNumbering) {
    const struct {
        unsigned win32;
        int port;
    } cases[] = {
        {DRIVE_UNKNOWN, kDriveUnknown}, {DRIVE_NO_ROOT_DIR, -1},  {DRIVE_REMOVABLE, kDriveRemovable},
        {DRIVE_FIXED, kDriveFixed},     {DRIVE_REMOTE, kDriveNetwork}, {DRIVE_CDROM, kDriveCdRom},
        {DRIVE_RAMDISK, kDriveRamDisk}, {7, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(c.port, DriveTypeFromWin32(c.win32)) << c.win32;
}

TEST(Win32FileSystemTest, DrivesInLetterOrderWithTheSystemDrive) {
    Win32FileSystem fs;
    const auto drives = fs.Drives();
    ASSERT_FALSE(drives.empty());
    for (std::size_t i = 1; i < drives.size(); ++i) EXPECT_LT(drives[i - 1].letter, drives[i].letter);
    const std::string windows = fs.WindowsFolder();
    ASSERT_FALSE(windows.empty());
    bool found = false;
    for (const DriveInfo& drive : drives) {
        if (drive.letter != std::toupper(static_cast<unsigned char>(windows[0]))) continue;
        found = true;
        EXPECT_EQ(kDriveFixed, drive.type);
        EXPECT_TRUE(drive.ready);
    }
    EXPECT_TRUE(found) << windows;
}

TEST(Win32FileSystemTest, FoldersHaveNoTrailingBackslashButTemp) {
    Win32FileSystem fs;
    const std::string system = fs.SystemFolder(), windows = fs.WindowsFolder(), temp = fs.TempFolder(),
                      program = fs.ProgramFolder();
    for (const std::string& folder : {system, windows, program}) {
        ASSERT_GE(folder.size(), 3u) << folder;
        EXPECT_TRUE(folder.back() != '\\' || folder.size() == 3) << folder;
        EXPECT_EQ(kAttrDirectory, fs.GetFileAttributes(folder, nullptr) & kAttrDirectory) << folder;
    }
    EXPECT_EQ(0, _strnicmp(system.c_str(), windows.c_str(), windows.size())) << system;
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ('\\', temp.back());

    char module[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, module, MAX_PATH);
    ASSERT_GT(n, 0u);
    const std::string exe(module, n);
    EXPECT_EQ(exe.substr(0, exe.find_last_of('\\')), program);
}

} // namespace
} // namespace hs

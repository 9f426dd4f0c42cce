// The repair and restore round trip on the real registry (its roots
// redirected into a scratch key) and a scratch folder below the temporary
// folder.
#include <windows.h>

#include "platform/file_system_win32.h"
#include "tests/contract/win32_environment.h"
#include "tests/results/backup_round_trip.h"

namespace hs {
namespace {

// Deletes a folder and everything below it.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        ::FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

TEST(BackupRoundTripWin32, RepairThenRestoreGivesBackEveryValueAndShortcut) {
    contract::Win32Environment environment;
    Win32FileSystem files;
    const std::string scratch = files.TempFolder() + "hs-roundtrip-" + std::to_string(GetCurrentProcessId());
    RemoveTree(scratch);
    ASSERT_TRUE(CreateDirectoryA(scratch.c_str(), nullptr)) << GetLastError();
    roundtrip::RunRoundTrip(environment.Reg(), files, scratch);
    RemoveTree(scratch);
}

} // namespace
} // namespace hs

// The repair and restore round trip on the real registry (its roots
// redirected into a scratch key) and a scratch folder below the temporary
// folder.
#include <windows.h>

#include "platform/file_system_win32.h"
#include "tests/contract/win32_environment.h"
#include "tests/results/backup_round_trip.h"
#include "tests/support/win32_scratch.h"

namespace hs {
namespace {

using fakes::RemoveTree;

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

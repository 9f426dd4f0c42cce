// The repair and restore round trip on the stand-ins.
#include "tests/results/backup_round_trip.h"

#include "platform/file_system_memory.h"
#include "platform/registry_memory.h"

namespace hs {
namespace {

TEST(BackupRoundTrip, RepairThenRestoreGivesBackEveryValueAndShortcut) {
    MemoryRegistry registry;
    MemoryFileSystem files;
    files.AddDrive('C', kDriveFixed);
    files.AddFolder("C:\\WINDOWS\\system32");
    files.AddFolder("C:\\Scratch");
    files.SetFolders("C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\WINDOWS\\Temp\\", "C:\\Program Files\\Hivesweep");
    roundtrip::RunRoundTrip(registry, files, "C:\\Scratch");
    EXPECT_EQ(0u, registry.OpenHandleCount());
    EXPECT_EQ(0u, files.OpenSearchCount());
}

} // namespace
} // namespace hs

// The walk's short forms of subfolders, composed from the listings, against
// GetShortPathNameA of each folder on the real file system.
#include <windows.h>

#include "platform/file_system_win32.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/registry_memory.h"
#include "shortcuts/drive_walker.h"
#include "tests/support/test_host.h"
#include "tests/support/win32_scratch.h"

namespace hs {
namespace {

std::string ShortPathOf(const std::string& path) {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length > MAX_PATH ? std::string() : std::string(buffer, length);
}

TEST(WalkShortPathWin32, ComposedShortFormsAreTheSystemOnes) {
    Win32FileSystem files;
    const std::string root = files.TempFolder() + "hs walk " + std::to_string(GetCurrentProcessId());
    const std::vector<std::string> folders = {
        root,
        root + "\\Long Folder Name One",
        root + "\\Long Folder Name One\\second level with spaces",
        root + "\\Long Folder Name One\\second level with spaces\\deep.folder.name",
        root + "\\SHORT",
        root + "\\lower",
        root + "\\Long Folder Name Two",
    };
    for (const std::string& folder : folders) ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    for (const std::string& folder : folders) {
        const std::string file = folder + "\\a file.txt";
        HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, handle) << file;
        CloseHandle(handle);
    }

    MemoryRegistry registry;
    fakes::MemorySettings settings;
    fakes::ScriptedHost host;
    fakes::RecordingSound sound;
    fakes::RecordingSink sink;
    ScanContext context(registry, settings, host, sound, files);
    context.view.SetSink(&sink);
    ScanFolderForShortcuts(context, root);

    std::set<std::string> shown, expected;
    for (const std::string& caption : sink.Captions(Label::lblRegistryScan)) shown.insert(caption);
    for (const std::string& folder : folders) expected.insert(ShortPathOf(folder + "\\"));
    EXPECT_EQ(expected, shown);

    fakes::RemoveTree(root);
}

} // namespace
} // namespace hs

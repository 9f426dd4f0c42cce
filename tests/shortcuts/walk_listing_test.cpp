// What the shortcut walk takes from the directory listing instead of asking
// the system per entry: the entry's attributes (asked again only for names
// the path rules may read otherwise), the subfolders' short forms (composed
// from the parent's and the listed short names), and, during a scan run, the
// file types (one registry look-up per extension).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/file_system_memory.h"
#include "platform/registry_memory.h"
#include "platform/reg_file.h"
#include "shortcuts/drive_walker.h"
#include "shortcuts/shell_links.h"
#include "shortcuts/shortcut_reader.h"
#include "tests/shortcuts/walk_fixture.h"
#include "tests/support/null_file_system.h"
#include "tests/support/test_host.h"
#include "tools/link_writer.h"

namespace hs {
namespace {

// A file system that is only listings: each folder ("C:\A\") lists the
// entries given, GetFileAttributes answers from its own table (so that a
// test sees which answer the walk used), short paths from a table too.
class ListingFileSystem final : public fakes::NullFileSystem {
public:
    std::map<std::string, std::vector<FindData>> folders;
    std::map<std::string, std::uint32_t> attributes;  // what GetFileAttributes says; missing: fails
    std::map<std::string, std::string> shortPaths;    // what GetShortPathName says; missing: the path
    std::vector<std::string> attributeQueries, shortPathQueries;

    FindHandle FindFirstFile(const std::string& pattern, FindData& data, std::uint32_t* error) override {
        const auto found = folders.find(pattern.substr(0, pattern.size() - 1));
        if (found == folders.end() || found->second.empty()) {
            if (error) *error = kFsFileNotFound;
            return kInvalidFindHandle;
        }
        searches_[next_] = {found->second, 1};
        data = found->second.front();
        return next_++;
    }
    bool FindNextFile(FindHandle search, FindData& data, std::uint32_t*) override {
        auto& [entries, at] = searches_.at(search);
        if (at >= entries.size()) return false;
        data = entries[at++];
        return true;
    }
    bool FindClose(FindHandle search) override { return searches_.erase(search) == 1; }
    std::uint32_t GetFileAttributes(const std::string& path, std::uint32_t*) override {
        attributeQueries.push_back(path);
        const auto found = attributes.find(path);
        return found == attributes.end() ? kInvalidFileAttributes : found->second;
    }
    bool GetVolumeInformation(const std::string&, std::uint32_t, VolumeInfo&, std::uint32_t*) override { return true; }
    std::string GetShortPathName(const std::string& path, std::uint32_t*) override {
        shortPathQueries.push_back(path);
        const auto found = shortPaths.find(path);
        return found == shortPaths.end() ? path : found->second;
    }

private:
    std::map<FindHandle, std::pair<std::vector<FindData>, std::size_t>> searches_;
    FindHandle next_ = 1;
};

using fakes::Walk;

FindData Entry(const std::string& name, std::uint32_t attributes, const std::string& shortName = "") {
    return FindData{attributes, 0, name, shortName};
}

TEST(WalkListing, AsksForAttributesOnlyWhereThePathMayNameAnotherEntry) {
    ListingFileSystem files;
    const std::string longName(240, 'n');
    files.folders["C:\\d\\"] = {
        Entry("plain.lnk", kAttrArchive),  // the listing's answer is used
        Entry("Sub", kAttrDirectory),
        Entry("dot.lnk.", kAttrArchive),   // the path rules drop the dot: asked
        Entry("blank.lnk ", kAttrArchive), // and the blank
        Entry("nul.lnk", kAttrArchive),    // a device name: asked
        Entry("a?b.lnk", kAttrArchive),    // a character the ANSI listing replaced: asked
        Entry(longName + ".lnk", kAttrArchive),  // too long a path: asked
        Entry(std::string("cut\0.lnk", 8), kAttrArchive),  // cut at its NUL: asked for "cut"
    };
    files.folders["C:\\d\\Sub\\"] = {Entry("in.url", kAttrArchive)};
    files.attributes["C:\\d\\nul.lnk"] = kAttrArchive;  // the system answers for these two only
    files.attributes["C:\\d\\cut"] = kAttrArchive;
    Walk walk(files);
    ScanFolderForShortcuts(walk.context, "C:\\d\\");
    EXPECT_EQ((std::vector<std::string>{"C:\\d\\dot.lnk.", "C:\\d\\blank.lnk ", "C:\\d\\nul.lnk", "C:\\d\\a?b.lnk",
                                        "C:\\d\\" + longName + ".lnk", "C:\\d\\cut"}),
              files.attributeQueries);
    EXPECT_EQ((std::vector<std::string>{"C:\\d\\plain.lnk", "C:\\d\\nul.lnk", "C:\\d\\Sub\\in.url"}), walk.links.paths);
}

TEST(WalkListing, ComposesSubfolderShortFormsFromTheListing) {
    ListingFileSystem files;
    files.folders["C:\\Program Files\\"] = {Entry("Long Vendor Name", kAttrDirectory, "LONGVE~1"),
                                            Entry("Short", kAttrDirectory)};
    files.folders["C:\\Program Files\\Long Vendor Name\\"] = {Entry("x.lnk", kAttrArchive)};
    files.folders["C:\\Program Files\\Short\\"] = {Entry("y.lnk", kAttrArchive)};
    files.shortPaths["C:\\Program Files\\"] = "C:\\PROGRA~1\\";
    Walk walk(files);
    ScanFolderForShortcuts(walk.context, "C:\\Program Files");
    EXPECT_EQ(std::vector<std::string>{"C:\\Program Files\\"}, files.shortPathQueries);
    std::vector<std::string> shown;
    for (const std::string& caption : walk.sink.Captions(Label::lblRegistryScan)) {
        if (shown.empty() || shown.back() != caption) shown.push_back(caption);
    }
    EXPECT_EQ((std::vector<std::string>{"C:\\PROGRA~1\\", "C:\\PROGRA~1\\LONGVE~1\\", "C:\\PROGRA~1\\Short\\"}), shown);
}

TEST(WalkListing, ShortFormsLongerThanTheLabelShowNothingAndStillCompose) {
    ListingFileSystem files;
    const std::string deep = "C:\\" + std::string(150, 'a') + "\\";
    files.folders[deep] = {Entry(std::string(20, 'b'), kAttrDirectory)};
    files.folders[deep + std::string(20, 'b') + "\\"] = {Entry(std::string(20, 'c'), kAttrDirectory, "CCCCCC~1")};
    files.folders[deep + std::string(20, 'b') + "\\" + std::string(20, 'c') + "\\"] = {Entry("z.lnk", kAttrArchive)};
    Walk walk(files);
    ScanFolderForShortcuts(walk.context, deep);
    std::vector<std::string> shown;
    for (const std::string& caption : walk.sink.Captions(Label::lblRegistryScan)) {
        if (shown.empty() || shown.back() != caption) shown.push_back(caption);
    }
    // The folder's own short form (154 characters) shows; its subfolders'
    // (175 and 184) are longer than the label takes.
    EXPECT_EQ((std::vector<std::string>{deep, ""}), shown);
    EXPECT_EQ(1u, files.shortPathQueries.size());
}

TEST(WalkListing, WithoutTheFolderShortFormEachSubfolderIsAsked) {
    ListingFileSystem files;
    files.folders["C:\\A\\"] = {Entry("B", kAttrDirectory)};
    files.folders["C:\\A\\B\\"] = {Entry("x.lnk", kAttrArchive)};
    files.shortPaths["C:\\A\\"] = "";  // the system cannot tell
    Walk walk(files);
    ScanFolderForShortcuts(walk.context, "C:\\A\\");
    EXPECT_EQ((std::vector<std::string>{"C:\\A\\", "C:\\A\\B\\"}), files.shortPathQueries);
}

// During a scan run the reader's own shell takes each extension's type from
// the registry once; what it records is the same as when asked per file.
TEST(WalkListing, FileTypesTakenOncePerRunRecordTheSame) {
    MemoryFileSystem files;
    files.AddDrive('C', kDriveFixed);
    files.AddFolder("C:\\Tools");
    const std::string gone = tools::MakeShellLink(tools::LinkTo("C:\\Gone\\app.exe", "C:\\Gone"));
    for (const char* name : {"a.lnk", "b.LNK", "c.lnk", "d.txt", "e.url", "f.pif", "g.box", "h.box"}) {
        files.AddFile(std::string("C:\\Links\\") + name, std::string(name).find("url") != std::string::npos
                                                             ? tools::MakeInternetShortcut(tools::FileUrl("C:\\Gone\\x.txt"))
                                                             : gone);
    }
    // A class that makes .box files links of an excluded type.
    fakes::ScriptedHost host;
    fakes::MemorySettings settings;
    fakes::RecordingSound sound;
    std::vector<std::string> recorded[2];
    for (int cached = 0; cached < 2; ++cached) {
        MemoryRegistry registry;
        ASSERT_FALSE(ImportRegFile(registry, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.box]\r\n@=\"boxfile\"\r\n\r\n"
                                             "[HKEY_CLASSES_ROOT\\boxfile]\r\n@=\"SpeedDial\"\r\n\"IsShortcut\"=\"\"\r\n")
                         .has_value());
        ScanContext context(registry, settings, host, sound, files);
        if (cached == 1) context.StartLookupCache();
        ScanDriveForShortcuts(context, "C:\\");
        for (const ShortcutProblem& row : context.lvwShortcut.Rows()) recorded[cached].push_back(row.path);
        if (cached == 1) {
            EXPECT_EQ(6u, context.lookups.fileTypes.size()) << "lnk, LNK, txt, url, pif, box";
        }
    }
    EXPECT_EQ((std::vector<std::string>{"C:\\Links\\a.lnk", "C:\\Links\\b.LNK", "C:\\Links\\c.lnk", "C:\\Links\\e.url"}),
              recorded[0]);
    EXPECT_EQ(recorded[0], recorded[1]);
}

} // namespace
} // namespace hs

// The shortcut check over a machine in memory: the stops, the file classes,
// and which targets make a broken shortcut.
#include "shortcuts/shortcut_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system_memory.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "shortcuts/shell_links.h"
#include "tests/support/test_host.h"
#include "tools/link_writer.h"

namespace hs {
namespace {

using tools::FileUrl;
using tools::LinkThroughEnvironment;
using tools::LinkTo;
using tools::LinkToShare;
using tools::LinkToVirtualFolder;
using tools::MakeInternetShortcut;
using tools::MakeShellLink;
using tools::ShellLinkShape;

constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

class ShortcutCheckTest : public ::testing::Test {
protected:
    ShortcutCheckTest() : access_(registry_), context_(registry_, settings_, host_, sound_, files_) {
        files_.AddDrive('C', kDriveFixed);
        files_.AddDrive('D', kDriveFixed);
        files_.AddDrive('E', kDriveRemovable);
        files_.AddDrive('F', kDriveCdRom);
        files_.AddDrive('N', kDriveNetwork);
        files_.SetFolders("C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\Temp\\", "C:\\Program Files\\Hivesweep");
        files_.AddFile("C:\\WINDOWS\\notepad.exe");
        files_.AddFile("C:\\Program Files\\App\\app.exe");
        files_.AddFile("C:\\Program Files\\Common Files\\Shared\\lib.dll");
        files_.AddFolder("C:\\Docs");
        SetValue(kHkeyLocalMachine, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
        SetValue(kHkeyLocalMachine, kCurrentVersion, "CommonFilesDir", "C:\\Program Files\\Common Files");
        context_.view.SetCaption(Label::lblProblemsFound, "0");
    }
    ~ShortcutCheckTest() override { EXPECT_EQ(0u, files_.OpenSearchCount()); }

    void SetValue(RegKey root, const std::string& key, const std::string& name, const std::string& text) {
        ASSERT_EQ(kErrorSuccess, access_.SetValueCreatingKey(root, key, name, text, kRegSz));
    }
    // A file class under HKEY_CLASSES_ROOT.
    void RegisterClass(const std::string& extension, const std::string& className, const std::string& typeName,
                       bool isShortcut) {
        SetValue(kHkeyClassesRoot, "." + extension, "", className);
        SetValue(kHkeyClassesRoot, className, "", typeName);
        if (isShortcut) SetValue(kHkeyClassesRoot, className, "IsShortcut", "");
    }
    // Puts a shortcut file in place, checks it, and tells whether it was
    // recorded.
    bool Recorded(const std::string& path, const std::string& bytes) {
        files_.AddFile(path, bytes);
        return Check(path);
    }
    bool Check(const std::string& path) {
        const std::size_t before = context_.lvwShortcut.Count();
        CheckShortcutFile(context_, path);
        return context_.lvwShortcut.Count() > before;
    }

    MemoryRegistry registry_;
    RegistryAccess access_;
    fakes::MemorySettings settings_;
    fakes::ScriptedHost host_;
    fakes::RecordingSound sound_;
    MemoryFileSystem files_;
    ScanContext context_;
};

TEST_F(ShortcutCheckTest, RecordsOnlyMissingTargetsOnLocalFixedDrives) {
    ShellLinkShape envWinsOverInfo = LinkThroughEnvironment("%SystemRoot%\\notepad.exe", "C:\\Gone\\notepad.exe");
    ShellLinkShape atHome = LinkTo("C:\\Gone\\app.exe");
    atHome.workingDirectory = "  %homedrive%%HomePath% ";
    const struct {
        const char* what;
        std::string bytes;
        bool recorded;
    } cases[] = {
        {"missing file on C:", MakeShellLink(LinkTo("C:\\Gone\\app.exe", "C:\\Gone")), true},
        {"missing file on a second fixed drive", MakeShellLink(LinkTo("D:\\x\\y.exe")), true},
        {"existing file", MakeShellLink(LinkTo("C:\\Program Files\\App\\app.exe")), false},
        {"existing folder", MakeShellLink(LinkTo("C:\\Docs")), false},
        {"removable drive", MakeShellLink(LinkTo("E:\\Setup\\setup.exe")), false},
        {"CD drive", MakeShellLink(LinkTo("F:\\autorun.exe")), false},
        {"network drive", MakeShellLink(LinkTo("N:\\apps\\tool.exe")), false},
        {"drive that is not there", MakeShellLink(LinkTo("Q:\\tool.exe")), false},
        {"UNC share", MakeShellLink(LinkToShare("\\\\server\\share", "apps\\tool.exe")), false},
        {"no target stored", MakeShellLink(ShellLinkShape{}), false},
        {"virtual folder", MakeShellLink(LinkToVirtualFolder()), false},
        {"%SystemRoot% missing", MakeShellLink(LinkThroughEnvironment("%SystemRoot%\\gone.exe")), true},
        {"%windir% missing", MakeShellLink(LinkThroughEnvironment("%WINDIR%\\Gone\\x.exe")), true},
        {"%SystemRoot% existing", MakeShellLink(LinkThroughEnvironment("%systemroot%\\notepad.exe")), false},
        {"%ProgramFiles% missing", MakeShellLink(LinkThroughEnvironment("%ProgramFiles%\\App\\gone.exe")), true},
        {"%ProgramFiles% existing", MakeShellLink(LinkThroughEnvironment("%ProgramFiles%\\App\\app.exe")), false},
        {"%CommonProgramFiles% existing",
         MakeShellLink(LinkThroughEnvironment("%CommonProgramFiles%\\Shared\\lib.dll")), false},
        {"%CommonProgramFiles% missing",
         MakeShellLink(LinkThroughEnvironment("%CommonProgramFiles%\\Shared\\gone.dll")), true},
        {"other placeholder", MakeShellLink(LinkThroughEnvironment("%USERPROFILE%\\gone.exe", "C:\\U\\gone.exe")),
         false},
        {"placeholder left after ours", MakeShellLink(LinkThroughEnvironment("%SystemRoot%\\%LANG%\\gone.exe")), false},
        {"environment block wins over LinkInfo", MakeShellLink(envWinsOverInfo), false},
        {"working directory %HOMEDRIVE%%HOMEPATH%", MakeShellLink(atHome), false},
        {"relative target", MakeShellLink(LinkThroughEnvironment("gone.exe")), false},
        {"target that is no valid name", MakeShellLink(LinkTo("C:\\dir\\*.exe")), false},
        {"damaged file", "L\0\0\0garbage", false},
        {"empty file", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.recorded, Recorded("C:\\Links\\test.lnk", c.bytes)) << c.what;
}

TEST_F(ShortcutCheckTest, InternetShortcutsCountOnlyForFileUrls) {
    const struct {
        const char* url;
        bool recorded;
    } cases[] = {
        {"file:///C:/Docs/gone.txt", true},
        {"file:///C:/Docs", false},
        {"file:///E:/gone.txt", false},
        {"file://server/share/gone.txt", false},
        {"https://example.com/gone.txt", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.recorded, Recorded("C:\\Favorites\\Page.url", MakeInternetShortcut(c.url))) << c.url;
    EXPECT_TRUE(Recorded("C:\\Favorites\\Spaces.url", MakeInternetShortcut(FileUrl("C:\\Docs\\read me.txt"))));
    EXPECT_FALSE(Recorded("C:\\Favorites\\Home.url", MakeInternetShortcut(FileUrl("C:\\Docs\\gone.txt"),
                                                                           "%HOMEDRIVE%%HOMEPATH%")));
}

TEST_F(ShortcutCheckTest, RecordsThePathAsPassedAndRunsTheHook) {
    const std::string path = "C:\\Documents and Settings\\Alex\\Desktop\\Old Game.LNK";
    ASSERT_TRUE(Recorded(path, MakeShellLink(LinkTo("C:\\Games\\old.exe"))));
    ASSERT_EQ(1u, context_.lvwShortcut.Count());
    EXPECT_EQ(path, context_.lvwShortcut.At(1).path);
    EXPECT_EQ("Windows Shortcut", context_.lvwShortcut.At(1).kind);
    EXPECT_EQ("1", context_.view.Caption(Label::lblProblemsFound));
    // The shortcut file itself missing: nothing to examine.
    EXPECT_FALSE(Check("C:\\Documents and Settings\\Alex\\Desktop\\Vanished.lnk"));
}

TEST_F(ShortcutCheckTest, PathWordsStopTheCheckInAnyCaseAnywhere) {
    const std::string broken = MakeShellLink(LinkTo("C:\\Gone\\app.exe"));
    for (const char* path : {"C:\\Documents and Settings\\Alex\\NetHood\\Share.lnk", "C:\\dir\\myNETHOODlink.lnk",
                             "C:\\System Volume Information\\x.lnk", "C:\\a\\system volume information\\b\\x.lnk"})
        EXPECT_FALSE(Recorded(path, broken)) << path;
    EXPECT_TRUE(Recorded("C:\\Net\\Hood.lnk", broken));
}

TEST_F(ShortcutCheckTest, TheRegisteredClassDecidesLinkAndType) {
    const std::string broken = MakeShellLink(LinkTo("C:\\Gone\\app.exe"));
    // Without classes .lnk is a link, .pif is excluded by its type, others are no links.
    EXPECT_TRUE(Recorded("C:\\l\\a.lnk", broken));
    EXPECT_FALSE(Recorded("C:\\l\\a.pif", broken));
    EXPECT_FALSE(Recorded("C:\\l\\a.txt", broken));

    // A class without IsShortcut: not a link, whatever the extension.
    RegisterClass("lnk", "lnkfile", "Shortcut", false);
    EXPECT_FALSE(Recorded("C:\\l\\b.lnk", broken));
    // Excluded type names, compared trimmed and without regard to case.
    for (const char* type : {"SpeedDial", "  microsoft access report shortcut ", "SHORTCUT TO MS-DOS PROGRAM"}) {
        RegisterClass("lnk", "lnkfile", type, true);
        EXPECT_FALSE(Recorded("C:\\l\\c.lnk", broken)) << type;
    }
    RegisterClass("lnk", "lnkfile", "Shortcut", true);
    EXPECT_TRUE(Recorded("C:\\l\\d.lnk", broken));
    // A link type with another ending is never recorded, even when its type is not excluded.
    RegisterClass("pif", "piffile", "Program Information", true);
    RegisterClass("xyz", "xyzfile", "Shortcut", true);
    EXPECT_FALSE(Recorded("C:\\l\\e.pif", broken));
    EXPECT_FALSE(Recorded("C:\\l\\f.xyz", broken));
    // The extension names a class that does not exist: the built-in answer.
    SetValue(kHkeyClassesRoot, ".lnk", "", "nosuchclass");
    EXPECT_TRUE(Recorded("C:\\l\\g.lnk", broken));
}

TEST_F(ShortcutCheckTest, UnknownPlaceholderFoldersRecordNothing) {
    ASSERT_EQ(kErrorSuccess, access_.DeleteValue(kHkeyLocalMachine, kCurrentVersion, "ProgramFilesDir"));
    EXPECT_FALSE(Recorded("C:\\l\\a.lnk", MakeShellLink(LinkThroughEnvironment("%ProgramFiles%\\App\\gone.exe"))));
    EXPECT_EQ(std::nullopt, ExpandLinkTarget(context_, "%ProgramFiles%\\x"));
    EXPECT_EQ(std::optional<std::string>("C:\\WINDOWS\\a%b.exe"), ExpandLinkTarget(context_, "%windir%\\a%b.exe"));
    EXPECT_EQ(std::optional<std::string>("C:\\100% sure.txt"), ExpandLinkTarget(context_, "C:\\100% sure.txt"));
}

TEST(ShellItemTest, BuiltInTypesWithoutClasses) {
    MemoryRegistry registry;
    RegistryAccess access(registry);
    const struct {
        const char* extension;
        bool isLink;
        const char* type;
    } cases[] = {
        {"lnk", true, "Shortcut"},
        {"LNK", true, "Shortcut"},
        {"url", true, "Internet Shortcut"},
        {"pif", true, "Shortcut to MS-DOS Program"},
        {"txt", false, "TXT File"},
        {"", false, "File"},
    };
    for (const auto& c : cases) {
        const ShellItem item = ShellItemForExtension(access, c.extension);
        EXPECT_EQ(c.isLink, item.isLink) << c.extension;
        EXPECT_EQ(c.type, item.type) << c.extension;
    }
    EXPECT_EQ("lnk", ExtensionOf("C:\\a.b\\c.d.lnk"));
    EXPECT_EQ("", ExtensionOf("C:\\a.b\\noext"));
}

} // namespace
} // namespace hs

// The shell link and Internet shortcut readers, fed by the link writer and by
// hand-made damage.
#include "shortcuts/link_format.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/ansi_text.h"
#include "tools/link_writer.h"

namespace hs {
namespace {

using tools::LinkThroughEnvironment;
using tools::LinkTo;
using tools::LinkToShare;
using tools::LinkToVirtualFolder;
using tools::MakeInternetShortcut;
using tools::MakeShellLink;
using tools::ShellLinkShape;

std::optional<std::string> TargetOf(const ShellLinkShape& shape) {
    const auto parsed = ParseShellLink(MakeShellLink(shape));
    if (!parsed) return std::string("<not a link>");
    return StoredTarget(*parsed);
}

TEST(ShellLinkReaderTest, StoredTargetOfEachKindOfLink) {
    ShellLinkShape split;
    split.localBasePath = "C:\\dir";
    split.commonPathSuffix = "a.txt";
    ShellLinkShape splitWithSlash = split;
    splitWithSlash.localBasePath = "C:\\dir\\";
    ShellLinkShape unicodeInfo = LinkTo("C:\\Docs\\plan.txt");
    unicodeInfo.unicodeLinkInfo = true;
    ShellLinkShape ansiStrings = LinkTo("C:\\x.exe", "C:\\work");
    ansiStrings.unicode = false;
    ShellLinkShape forceNoLinkInfo = LinkTo("C:\\a\\b.exe");
    forceNoLinkInfo.localBasePath = "C:\\other.exe";
    ShellLinkShape envOnly;
    envOnly.environmentTarget = "%windir%\\notepad.exe";
    ShellLinkShape nothing;
    nothing.workingDirectory = "C:\\";
    ShellLinkShape relativeOnly;
    relativeOnly.relativePath = "..\\file.txt";
    ShellLinkShape advertised = LinkTo("C:\\Program Files\\App\\app.exe");
    advertised.advertised = true;

    const struct {
        const char* what;
        ShellLinkShape shape;
        std::optional<std::string> target;  // nothing: unknown
    } cases[] = {
        {"item list and LinkInfo", LinkTo("C:\\Program Files\\App\\app.exe"), "C:\\Program Files\\App\\app.exe"},
        {"split LinkInfo", split, "C:\\dir\\a.txt"},
        {"split LinkInfo, base ends in backslash", splitWithSlash, "C:\\dir\\a.txt"},
        {"Unicode LinkInfo", unicodeInfo, "C:\\Docs\\plan.txt"},
        {"ANSI strings", ansiStrings, "C:\\x.exe"},
        {"network share", LinkToShare("\\\\server\\share", "apps\\tool.exe"), "\\\\server\\share\\apps\\tool.exe"},
        {"environment block wins over LinkInfo", LinkThroughEnvironment("%SystemRoot%\\notepad.exe", "C:\\W\\n.exe"),
         "%SystemRoot%\\notepad.exe"},
        {"environment block alone", envOnly, "%windir%\\notepad.exe"},
        {"no target stored", nothing, ""},
        {"virtual folder", LinkToVirtualFolder(), std::nullopt},
        {"relative path alone", relativeOnly, std::nullopt},
        {"advertised", advertised, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(c.target, TargetOf(c.shape)) << c.what;

    // ForceNoLinkInfo: the item list speaks.
    std::string bytes = MakeShellLink(forceNoLinkInfo);
    bytes[0x15] = static_cast<char>(bytes[0x15] | 0x01);  // flag 0x100
    const auto parsed = ParseShellLink(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(std::optional<std::string>("C:\\a\\b.exe"), StoredTarget(*parsed));
}

TEST(ShellLinkReaderTest, ItemListSpellsLongNamesOfEveryExtensionVersion) {
    for (int version : {3, 7, 8, 9}) {
        ShellLinkShape shape;
        shape.idListTarget = "C:\\Program Files\\Long Folder Name\\a file.txt";
        shape.idListExtensionVersion = version;
        EXPECT_EQ(std::optional<std::string>(shape.idListTarget), TargetOf(shape)) << "version " << version;
    }
    ShellLinkShape root;
    root.idListTarget = "D:\\";
    EXPECT_EQ(std::optional<std::string>("D:\\"), TargetOf(root));
    // Only the short names: the long path cannot be known.
    ShellLinkShape shortOnly;
    shortOnly.idListTarget = "C:\\Program Files\\app.exe";
    shortOnly.idListExtensionVersion = 0;
    EXPECT_EQ(std::nullopt, TargetOf(shortOnly));
}

TEST(ShellLinkReaderTest, StringDataDropsTheNulsSomeWritersCount) {
    ShellLinkShape shape = LinkTo("C:\\a.exe", "C:\\hsprobe");
    shape.arguments = "/a /b";
    shape.countTerminatingNul = true;
    for (bool unicode : {true, false}) {
        shape.unicode = unicode;
        const auto parsed = ParseShellLink(MakeShellLink(shape));
        ASSERT_TRUE(parsed);
        EXPECT_EQ("C:\\hsprobe", parsed->workingDirectory);
        EXPECT_EQ("/a /b", parsed->arguments);
    }
}

TEST(ShellLinkReaderTest, DamagedFilesAreNoLinks) {
    const std::string good = MakeShellLink(LinkTo("C:\\dir\\app.exe", "C:\\dir"));
    ASSERT_TRUE(ParseShellLink(good));
    // Every cut short copy either fails or still tells the same target: the
    // reader never reads past the bytes or invents a path.
    for (std::size_t length = 0; length < good.size(); ++length) {
        const auto parsed = ParseShellLink(std::string_view(good).substr(0, length));
        if (parsed) {
            EXPECT_EQ(std::optional<std::string>("C:\\dir\\app.exe"), StoredTarget(*parsed)) << length;
        }
    }
    auto damaged = [&](std::size_t at, char value) {
        std::string bytes = good;
        bytes[at] = value;
        return bytes;
    };
    EXPECT_FALSE(ParseShellLink(damaged(0, 0x4D))) << "header size";
    EXPECT_FALSE(ParseShellLink(damaged(4, 0x02))) << "class id";
    EXPECT_FALSE(ParseShellLink(damaged(0x4D, 0x7F))) << "item list size past the end";
    EXPECT_FALSE(ParseShellLink("")) << "empty file";
    EXPECT_FALSE(ParseShellLink("[InternetShortcut]\r\nURL=file:///C:/x\r\n")) << "text";
    // A LinkInfo whose path offset leads outside it.
    std::string bytes = good;
    const std::size_t infoAt =
        0x4C + 2 + (static_cast<unsigned char>(bytes[0x4C]) | (static_cast<unsigned char>(bytes[0x4D]) << 8));
    bytes[infoAt + 16] = static_cast<char>(0xF0);
    EXPECT_FALSE(ParseShellLink(bytes)) << "LinkInfo offset";
    // An extra data block longer than the file.
    bytes = good;
    bytes[bytes.size() - 4] = 0x10;
    EXPECT_FALSE(ParseShellLink(bytes)) << "extra data size";
}

TEST(InternetShortcutReaderTest, ReadsTheSectionAsTheProfileCallsDo) {
    const struct {
        std::string text;
        std::string url;
        std::string workingDirectory;
    } cases[] = {
        {MakeInternetShortcut("https://example.com/", "C:\\dir"), "https://example.com/", "C:\\dir"},
        {"[internetshortcut]\nurl = file:///C:/x.txt \n", "file:///C:/x.txt", ""},
        {"URL=before the section\n[InternetShortcut]\nURL=\"quoted\"\nURL=second\n", "quoted", ""},
        {"[Other]\nURL=no\n[InternetShortcut]\n;URL=comment\nURL\nURL=yes\n[Next]\nURL=no\n", "yes", ""},
        {"[InternetShortcut]\r\nWorkingDirectory=C:\\w\r\n", "", "C:\\w"},
        {"\xEF\xBB\xBF[InternetShortcut]\r\nURL=file:///C:/bom\r\n", "file:///C:/bom", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const InternetShortcutFile file = ParseInternetShortcut(c.text);
        EXPECT_EQ(c.url, file.url) << c.text;
        EXPECT_EQ(c.workingDirectory, file.workingDirectory) << c.text;
    }
    const std::string utf16 = "\xFF\xFE" + Utf8ToUtf16Le("[InternetShortcut]\r\nURL=file:///C:/wide\r\n");
    EXPECT_EQ("file:///C:/wide", ParseInternetShortcut(utf16).url);
}

TEST(InternetShortcutReaderTest, OnlyFileUrlsNamePaths) {
    const struct {
        const char* url;
        std::optional<std::string> path;
    } cases[] = {
        {"file:///C:/dir/a%20b.txt", "C:\\dir\\a b.txt"},
        {"FILE:///c|/x", "c:\\x"},
        {"file:C:/x", "C:\\x"},
        {"file:///D:", "D:\\"},
        {"file://localhost/C:/x", "C:\\x"},
        {"file://server/share/x", "\\\\server\\share\\x"},
        {"file:////server/share/x", "\\\\server\\share\\x"},
        {"file:///C:/100%", "C:\\100%"},
        {"https://example.com/", ""},
        {"", ""},
        {"mailto:someone@example.com", ""},
        {"file:relative.txt", std::nullopt},
        {"file:/x", std::nullopt},
        {"file://", std::nullopt},
        {"file://localhost/share", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(c.path, PathFromUrl(c.url)) << c.url;
}

} // namespace
} // namespace hs

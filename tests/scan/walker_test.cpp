// The registry walker: what it dispatches, in which order, and how it stops.
#include "scan/walker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system_memory.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "scan/catalogue.h"
#include "tests/support/test_host.h"

namespace hs {
namespace {

struct Dispatched {
    std::int32_t root;
    std::string rootName, valueName, data, section, keyPath;
    bool operator==(const Dispatched&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Dispatched& d) {
    return out << d.keyPath << " [" << d.valueName << "]=" << d.data << " (" << d.section << ")";
}

class WalkerTest : public ::testing::Test {
protected:
    WalkerTest() : context_(registry_, settings_, host_, sound_, files_) {
        context_.view.SetSink(&sink_);
        CheckerFn record = [this](ScanContext&, std::int32_t root, const std::string& rootName,
                                  const std::string& valueName, std::string& data, const std::string& section,
                                  const std::string& keyPath) {
            dispatched_.push_back({root, rootName, valueName, data, section, keyPath});
            data = "rewritten by the checker";
        };
        auto& table = context_.checkers;
        for (CheckerFn* slot : {&table.CheckComEntry, &table.CheckAppPathEntry, &table.CheckHelpFileEntry,
                                &table.CheckSharedFileEntry, &table.CheckCommandLineEntry, &table.CheckUninstallEntry,
                                &table.CheckVxdEntry, &table.CheckFontEntry}) {
            *slot = record;
        }
    }
    ~WalkerTest() override { EXPECT_EQ(0u, registry_.OpenHandleCount()) << "a walk left a key open"; }

    void Put(const std::string& path, const std::string& name, std::uint32_t type, std::vector<std::uint8_t> bytes) {
        RegKey key = 0;
        ASSERT_EQ(kErrorSuccess, registry_.CreateKeyEx(kHkeyLocalMachine, path.c_str(), kKeyAllAccess, &key, nullptr));
        bytes.push_back(0x7F);  // not NUL: stores exactly the bytes given
        ASSERT_EQ(kErrorSuccess,
                  registry_.SetValueEx(key, name.c_str(), type, bytes.data(), static_cast<std::uint32_t>(bytes.size() - 1)));
        ASSERT_EQ(kErrorSuccess, registry_.CloseKey(key));
    }
    void PutSz(const std::string& path, const std::string& name, const std::string& text) {
        std::vector<std::uint8_t> bytes(text.begin(), text.end());
        bytes.push_back(0);
        Put(path, name, kRegSz, bytes);
    }
    void MakeKey(const std::string& path) {
        RegKey key = 0;
        ASSERT_EQ(kErrorSuccess, registry_.CreateKeyEx(kHkeyLocalMachine, path.c_str(), kKeyAllAccess, &key, nullptr));
        ASSERT_EQ(kErrorSuccess, registry_.CloseKey(key));
    }
    void Walk(const std::string& path, const std::string& section = std::string(kSectionStartup)) {
        WalkKeys(context_, kHkeyLocalMachine, path, section, "HKEY_LOCAL_MACHINE", Label::lblRegistryFilesScan);
    }
    std::vector<std::string> DispatchedNames() const {
        std::vector<std::string> names;
        for (const auto& d : dispatched_) names.push_back(d.keyPath + ":" + d.valueName);
        return names;
    }

    MemoryRegistry registry_;
    fakes::MemorySettings settings_;
    fakes::ScriptedHost host_;
    fakes::RecordingSound sound_;
    MemoryFileSystem files_;
    fakes::RecordingSink sink_;
    ScanContext context_;
    std::vector<Dispatched> dispatched_;
};

TEST_F(WalkerTest, KeyWalkVisitsValuesBelowTheStartKeyInOrder) {
    PutSz("Run", "OwnValue", "C:\\run.exe");
    PutSz("Run\\b", "vb", "B");
    PutSz("Run\\a", "va1", "A1");
    PutSz("Run\\a", "va2", "A2");
    PutSz("Run\\a\\deep", "vd", "D");
    MakeKey("Run\\c");

    Walk("Run");
    // Subkeys in sorted order, each key's values before its subkeys, and
    // never the start key's own values.
    EXPECT_EQ((std::vector<std::string>{"Run\\a:va1", "Run\\a:va2", "Run\\a\\deep:vd", "Run\\b:vb"}),
              DispatchedNames());
    EXPECT_EQ((Dispatched{-2147483646, "HKEY_LOCAL_MACHINE", "va1", "A1", "Windows Startup", "Run\\a"}),
              dispatched_.front());
    EXPECT_EQ((std::vector<std::string>{"a", "deep", "b", "c"}), sink_.Captions(Label::lblRegistryScan));
    EXPECT_EQ((std::vector<std::string>{"A1", "A2", "D", "B"}), sink_.Captions(Label::lblRegistryFilesScan));
    // One yield per value and one per subkey after its subtree.
    EXPECT_EQ(4 + 4, host_.yields);
}

TEST_F(WalkerTest, StartKeyWithValuesAndNoSubkeysDispatchesNothing) {
    PutSz("Run", "a", "C:\\a.exe");
    PutSz("Run", "b", "C:\\b.exe");
    Walk("Run");
    EXPECT_TRUE(dispatched_.empty());
    Walk("Missing\\Key");
    EXPECT_TRUE(dispatched_.empty());
}

TEST_F(WalkerTest, ValueTooLargeForTheBuffersEndsThatKeyOnly) {
    PutSz("Run\\k", "first", "1");
    PutSz("Run\\k", "second", "2");
    Put("Run\\k", "third", kRegBinary, std::vector<std::uint8_t>(300, 'x'));
    PutSz("Run\\k", "fourth", "4");
    PutSz("Run\\l", std::string(255, 'n'), "long name");
    PutSz("Run\\l", "after", "never");
    PutSz("Run\\m", "sibling", "3");
    Walk("Run");
    EXPECT_EQ((std::vector<std::string>{"Run\\k:first", "Run\\k:second", "Run\\m:sibling"}), DispatchedNames());
}

TEST_F(WalkerTest, ReadValueTextByType) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::vector<std::uint8_t> bytes;
        const char* text;
    };
    const Case cases[] = {
        {"sz", kRegSz, {'C', ':', '\\', 'x', 0}, "C:\\x"},
        {"bare", kRegSz, {'a', 'b', 'c'}, "abc"},
        {"empty", kRegSz, {}, ""},
        {"expand", kRegExpandSz, {'%', 'W', '%', 0}, ""},
        {"five", kRegDword, {5, 0, 0, 0}, "5"},
        {"minus", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, "-1"},
        {"short", kRegDword, {7, 1}, "263"},
        {"wide", kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}, ""},
        {"multi", kRegMultiSz, {'a', 0, 'b', 0, 0}, "a"},
        {"binary", kRegBinary, {'x', 'y'}, ""},
        {"qword", kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}, ""},
    };
    for (const auto& c : cases) Put("Types", c.name, c.type, c.bytes);
    RegKey key = 0;
    ASSERT_EQ(kErrorSuccess, registry_.OpenKey(kHkeyLocalMachine, "Types", &key));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].text, ReadValueText(registry_, key, cases[i].name)) << "[" << i << "] " << cases[i].name;
    }
    EXPECT_EQ("", ReadValueText(registry_, key, "absent"));
    ASSERT_EQ(kErrorSuccess, registry_.CloseKey(key));
}

TEST_F(WalkerTest, ValueWalkDispatchesEveryValueWithItsTextAndAFreshCopy) {
    PutSz("Help", "a.hlp", "C:\\a.hlp");
    Put("Help", "n", kRegDword, {5, 0, 0, 0});
    Put("Help", "e", kRegExpandSz, {'%', 'x', '%', 0});
    PutSz("Help\\Sub", "below", "never");
    WalkValues(context_, kHkeyLocalMachine, "Help", std::string(kSectionHelpFiles), "HKEY_LOCAL_MACHINE",
               Label::lblRegistryFilesScan);
    ASSERT_EQ(3u, dispatched_.size());
    EXPECT_EQ("C:\\a.hlp", dispatched_[0].data);
    EXPECT_EQ("5", dispatched_[1].data);
    EXPECT_EQ("", dispatched_[2].data);
    // The label keeps the walker's text, not what the checker made of it.
    EXPECT_EQ("", context_.view.Caption(Label::lblRegistryFilesScan));
    EXPECT_EQ(3, host_.yields);
}

TEST_F(WalkerTest, ConfigurationCaptionSuppressesDispatchButShowsValues) {
    PutSz("SOFTWARE\\Vendor", "path", "C:\\gone.exe");
    PutSz("SOFTWARE\\Vendor\\App", "other", "C:\\other.exe");
    context_.view.SetCaption(Label::lblStatus, " Configuration files...");
    Walk("SOFTWARE", std::string(kSectionAppPaths));
    EXPECT_TRUE(dispatched_.empty());
    auto shown = sink_.Captions(Label::lblRegistryFilesScan);
    EXPECT_NE(std::find(shown.begin(), shown.end(), "C:\\gone.exe"), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "C:\\other.exe"), shown.end());

    // Any other caption, and the same one in other letter case, decides alike.
    context_.view.SetCaption(Label::lblStatus, "configuration FILES...  ");
    Walk("SOFTWARE", std::string(kSectionAppPaths));
    EXPECT_TRUE(dispatched_.empty());
    context_.view.SetCaption(Label::lblStatus, " Software Locations....");
    Walk("SOFTWARE", std::string(kSectionAppPaths));
    EXPECT_EQ(2u, dispatched_.size());
}

TEST_F(WalkerTest, DispatchMatchesSectionNamesExactly) {
    std::vector<std::string> calls;
    auto named = [&calls](const char* checker) {
        return [&calls, checker](ScanContext&, std::int32_t, const std::string&, const std::string&, std::string&,
                                 const std::string&, const std::string&) { calls.push_back(checker); };
    };
    auto& t = context_.checkers;
    t.CheckComEntry = named("Com");
    t.CheckAppPathEntry = named("AppPath");
    t.CheckHelpFileEntry = named("Help");
    t.CheckSharedFileEntry = named("Shared");
    t.CheckCommandLineEntry = named("CommandLine");
    t.CheckUninstallEntry = named("Uninstall");
    t.CheckVxdEntry = named("Vxd");
    t.CheckFontEntry = named("Font");
    for (const char* section : {"ActiveX \\ COM", "ActiveX \\ COM Subsections", "Application Paths", "Help Files",
                                "Microsoft Shared", "Windows Startup", "Uninstall Section", "VxD Section",
                                "Windows Fonts", "windows fonts", "Registry Integrity", ""}) {
        DispatchValue(context_, "x", section, "v", kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", "k");
    }
    EXPECT_EQ((std::vector<std::string>{"Com", "Com", "AppPath", "Help", "Shared", "CommandLine", "Uninstall", "Vxd",
                                        "Font"}),
              calls);
    context_.state.CancelRequested = kTrue16;
    DispatchValue(context_, "x", "Windows Fonts", "v", kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", "k");
    EXPECT_EQ(9u, calls.size());
}

TEST_F(WalkerTest, CancelInADeepWalkExaminesNothingMore) {
    // Three levels of three keys, two values each.
    for (const char* a : {"a1", "a2", "a3"}) {
        for (const char* b : {"b1", "b2", "b3"}) {
            for (const char* c : {"c1", "c2", "c3"}) {
                std::string path = std::string("Deep\\") + a + "\\" + b + "\\" + c;
                PutSz(path, "x", path + ":x");
                PutSz(path, "y", path + ":y");
            }
        }
    }
    // Cancel at the 5th yield: two values of c1, c1 itself, two values of c2.
    host_.At(5, [this] { context_.state.CancelRequested = kTrue16; });
    Walk("Deep");
    EXPECT_EQ((std::vector<std::string>{"Deep\\a1\\b1\\c1:x", "Deep\\a1\\b1\\c1:y", "Deep\\a1\\b1\\c2:x",
                                        "Deep\\a1\\b1\\c2:y"}),
              DispatchedNames());
    EXPECT_EQ(5, host_.yields);
    // Nothing after the cancel: no sibling at any level, no further value.
    auto scans = sink_.Captions(Label::lblRegistryScan);
    EXPECT_EQ((std::vector<std::string>{"a1", "b1", "c1", "c2"}), scans);
    EXPECT_EQ(4u, sink_.Captions(Label::lblRegistryFilesScan).size());
}

TEST_F(WalkerTest, CancelBeforeAWalkOnlyDescendsAlongFirstSubkeys) {
    PutSz("Tree\\a\\aa", "v", "1");
    PutSz("Tree\\a\\ab", "v", "2");
    PutSz("Tree\\b", "v", "3");
    context_.state.CancelRequested = kTrue16;
    Walk("Tree");
    EXPECT_TRUE(dispatched_.empty());
    EXPECT_EQ((std::vector<std::string>{"a", "aa"}), sink_.Captions(Label::lblRegistryScan));
    EXPECT_TRUE(sink_.Captions(Label::lblRegistryFilesScan).empty());
    EXPECT_EQ(0, host_.yields);
}

TEST_F(WalkerTest, ClassListingRunsWhileTheCancelButtonIsEnabled) {
    for (const char* clsid : {"{1}", "{2}", "{3}", "{4}"}) PutSz(std::string("SOFTWARE\\Classes\\CLSID\\") + clsid, "", "x");
    context_.view.SetCancelButton(true, "Cancel");
    host_.At(2, [this] { context_.view.SetCancelButton(false, "Cancel"); });
    ListClassKeys(context_, kHkeyClassesRoot, "CLSID");
    EXPECT_EQ((std::vector<std::string>{"{1}", "{2}"}), sink_.Captions(Label::lblRegistryScan));
    EXPECT_TRUE(dispatched_.empty());

    // With the button disabled from the start nothing is listed.
    sink_.captions.clear();
    ListClassKeys(context_, kHkeyClassesRoot, "CLSID");
    EXPECT_TRUE(sink_.captions.empty());
}

} // namespace
} // namespace hs

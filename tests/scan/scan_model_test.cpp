// The scan model: catalogue, problem records, progress step and the
// problem-found hook.
#include <gtest/gtest.h>

#include "platform/file_system_memory.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "scan/catalogue.h"
#include "scan/scan_context.h"
#include "tests/support/test_host.h"

namespace hs {
namespace {

TEST(CatalogueTest, FixedEntriesInOrder) {
    auto sections = FixedSections(2);
    ASSERT_EQ(11u, sections.size());
    const char* listTexts[] = {"Registry Integrity", "Custom Controls", "Sub Section Controls", "Software Locations",
                               "Help Files", "Shared Files", "Windows Startup", "Uninstall Section",
                               "Virtual Devices", "Windows Fonts", "Configuration files"};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(i + 1, sections[i].position);
        EXPECT_EQ(listTexts[i], sections[i].listText);
    }
    EXPECT_EQ("ActiveX \\ COM", sections[1].sectionName);
    EXPECT_EQ(" Custom Controls....", sections[1].statusCaption);
    EXPECT_EQ(kHkeyClassesRoot, sections[1].startKeys[0].root);
    EXPECT_EQ("HKEY_CLASSES_ROOT", sections[1].startKeys[0].rootName);

    const auto& startup = sections[6];
    ASSERT_EQ(2u, startup.startKeys.size());
    EXPECT_EQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", startup.startKeys[0].path);
    EXPECT_EQ(kHkeyCurrentUser, startup.startKeys[1].root);
    EXPECT_EQ(WalkKind::ValueWalk, sections[4].walk);
    EXPECT_EQ(WalkKind::ConfigWalk, sections[10].walk);
    EXPECT_EQ("Application Paths", sections[10].sectionName);
    EXPECT_EQ(" Configuration files...", sections[10].statusCaption);
}

TEST(CatalogueTest, FontsKeyFollowsThePlatform) {
    EXPECT_EQ("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", FixedSections(2)[9].startKeys[0].path);
    EXPECT_EQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts", FixedSections(1)[9].startKeys[0].path);
    EXPECT_EQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts", FixedSections(0)[9].startKeys[0].path);
}

TEST(CatalogueTest, DriveEntries) {
    ScanSection c = DriveSection('C', 12);
    EXPECT_EQ("Window Shortcut C", c.listText);
    EXPECT_EQ(12, c.position);
    EXPECT_EQ(WalkKind::DriveWalk, c.walk);
    EXPECT_EQ(" Shortcuts...", c.statusCaption);
    EXPECT_TRUE(c.sectionName.empty());
}

TEST(ScanStateTest, ProgressStepRoundsHalfToEven) {
    // 4275 / N: 12 entries 356.25, 13 entries 328.8, 2 entries 2137.5 (to
    // even 2138), 6 entries 712.5 (to even 712).
    const std::pair<int, std::int32_t> cases[] = {{12, 356}, {13, 329}, {11, 389}, {2, 2138}, {6, 712},
                                                  {1, 4275}, {0, 0},    {4275, 1}, {8550, 0}};
    for (const auto& [entries, step] : cases) EXPECT_EQ(step, ProgressStepFor(entries)) << entries << " entries";
}

TEST(ProblemRecordTest, FieldsByNumber) {
    ProblemRecord record{"-2147483647", "(Default)", "C:\\gone.dll", "ActiveX \\ COM", "CLSID\\{x}\\InprocServer32",
                         "HKEY_CURRENT_USER", "Yes"};
    const char* expected[] = {"-2147483647", "(Default)", "C:\\gone.dll", "ActiveX \\ COM", "CLSID\\{x}\\InprocServer32",
                              "HKEY_CURRENT_USER", "Yes"};
    for (int i = 0; i < ProblemRecord::kFieldCount; ++i) EXPECT_EQ(expected[i], record.Field(i)) << i;
    EXPECT_EQ("", record.Field(7));
    EXPECT_EQ("", record.Field(-1));

    ProblemList<ShortcutProblem> shortcuts;
    shortcuts.Add({"C:\\a.lnk"});
    EXPECT_EQ("Windows Shortcut", shortcuts.At(1).kind);
    EXPECT_THROW(static_cast<void>(shortcuts.At(2)), std::out_of_range);
}

class ProblemHookTest : public ::testing::Test {
protected:
    ProblemHookTest() : context_(registry_, settings_, host_, sound_, files_) {
        context_.view.SetCaption(Label::lblProblemsFound, "0");
    }
    void Set(const char* key, const char* text) { ASSERT_TRUE(settings_.Write(key, text)); }

    MemoryRegistry registry_;
    fakes::MemorySettings settings_;
    fakes::ScriptedHost host_;
    fakes::RecordingSound sound_;
    MemoryFileSystem files_;
    ScanContext context_;
};

TEST_F(ProblemHookTest, SoundOnlyWhenAskedForExactlyOneAndTheFileExists) {
    files_.AddDrive('C', kDriveFixed);
    files_.AddFile("C:\\ding.wav", "RIFF", kAttrArchive | kAttrHidden);
    files_.AddFolder("C:\\folder.wav");
    struct Case {
        const char* playSound;  // nullptr: never stored
        const char* wavePath;
        bool plays;
    };
    const Case cases[] = {
        {nullptr, "C:\\ding.wav", false}, {"0", "C:\\ding.wav", false},   {"2", "C:\\ding.wav", false},
        {"yes", "C:\\ding.wav", false},   {"1", "C:\\ding.wav", true},    {"1", "  C:\\ding.wav  ", true},
        {"1", "C:\\missing.wav", false},  {"1", "   ", false},          {"1", "C:\\folder.wav", false},
    };
    int count = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "[" << i << "]");
        fakes::MemorySettings fresh;
        settings_ = fresh;
        if (cases[i].playSound) Set("chkPlaySound", cases[i].playSound);
        Set("txtWaveFilesPath", cases[i].wavePath);
        sound_.played.clear();
        EXPECT_EQ(cases[i].plays, OnProblemFound(context_));
        EXPECT_EQ(cases[i].plays ? std::vector<std::string>{"C:\\ding.wav"} : std::vector<std::string>{}, sound_.played);
        // The count rises with every problem, sound or not.
        EXPECT_EQ(std::to_string(++count), context_.view.Caption(Label::lblProblemsFound));
    }
}

TEST_F(ProblemHookTest, CountThatIsNoNumberIsLeftAlone) {
    context_.view.SetCaption(Label::lblProblemsFound, "many");
    OnProblemFound(context_);
    EXPECT_EQ("many", context_.view.Caption(Label::lblProblemsFound));
    context_.view.SetCaption(Label::lblProblemsFound, "41");
    OnProblemFound(context_);
    EXPECT_EQ("42", context_.view.Caption(Label::lblProblemsFound));
}

} // namespace
} // namespace hs

// The section list and its select-all box: what is shown, what is stored,
// and what a restart brings back.
#include "scan/section_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/scan_machine.h"

namespace hs {
namespace {

class SectionListTest : public ::testing::Test {
protected:
    // The main window's load: the box from the settings, then the list.
    void Start() {
        RestoreSelectAllBox(context_);
        LoadlvwRegistryvaluesScanValues(context_);
    }
    // A restart: a fresh window over the same settings and machine.
    void Restart() {
        context_.sections = SectionList{};
        Start();
    }
    std::vector<bool> Ticks() const {
        std::vector<bool> ticks;
        for (const SectionEntry& entry : context_.sections.entries) ticks.push_back(entry.checked);
        return ticks;
    }
    std::string Stored(const std::string& key) const { return machine_.settings.Read(key, "(none)"); }

    fakes::ScanMachine machine_;
    ScanContext& context_ = machine_.context;
};

TEST_F(SectionListTest, FirstRunShowsEveryEntryTickedWithItsIcon) {
    machine_.files.AddDrive('D', kDriveCdRom);
    machine_.files.AddDrive('E', kDriveFixed);
    machine_.files.AddDrive('F', kDriveRemovable);
    machine_.files.AddDrive('N', kDriveNetwork);
    Start();

    std::vector<std::string> texts;
    std::vector<int> icons;
    for (const SectionEntry& entry : context_.sections.entries) {
        texts.push_back(entry.text);
        icons.push_back(entry.icon);
    }
    EXPECT_EQ((std::vector<std::string>{"Registry Integrity", "Custom Controls", "Sub Section Controls",
                                        "Software Locations", "Help Files", "Shared Files", "Windows Startup",
                                        "Uninstall Section", "Virtual Devices", "Windows Fonts", "Configuration files",
                                        "Window Shortcut C", "Window Shortcut E"}),
              texts);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 12}), icons);
    EXPECT_EQ(std::vector<bool>(13, true), Ticks());
    EXPECT_EQ(kBoxChecked, context_.sections.selectAllState);
    // The load changed the box (from unchecked), but its action found no
    // entries to set, so nothing else was stored.
    EXPECT_EQ("(none)", Stored("Custom Controls"));
}

TEST_F(SectionListTest, UntickingOneEntryMakesTheBoxMixedAndARestartShowsItChecked) {
    Start();
    lvwRegistryvaluesScan_ItemCheck(context_, 4, false);
    EXPECT_EQ(kBoxMixed, context_.sections.selectAllState);
    EXPECT_EQ("1", Stored("chkSelectlistviewItems"));
    EXPECT_EQ("False", Stored("Software Locations"));
    EXPECT_EQ("True", Stored("Custom Controls"));
    EXPECT_TRUE(context_.sections.windowEnabled);

    Restart();
    EXPECT_EQ(kBoxChecked, context_.sections.selectAllState);
    EXPECT_FALSE(context_.sections.Checked(4));
    EXPECT_TRUE(context_.sections.Checked(3));
}

TEST_F(SectionListTest, TheBoxTicksAndUnticksEveryEntry) {
    Start();
    chkSelectlistviewItems_UserClick(context_);
    EXPECT_EQ(kBoxUnchecked, context_.sections.selectAllState);
    EXPECT_EQ(std::vector<bool>(12, false), Ticks());
    EXPECT_EQ("False", Stored("Window Shortcut C"));
    EXPECT_EQ("0", Stored("chkSelectlistviewItems"));

    Label2_Click(context_);
    EXPECT_EQ(std::vector<bool>(12, true), Ticks());
    EXPECT_EQ("True", Stored("Window Shortcut C"));

    // From the mixed state a click selects everything.
    lvwRegistryvaluesScan_ItemClick(context_, 1);
    ASSERT_EQ(kBoxMixed, context_.sections.selectAllState);
    Image1_Click(context_);
    EXPECT_EQ(std::vector<bool>(12, true), Ticks());
}

TEST_F(SectionListTest, UntickingTheLastTickedEntryUnchecksTheBox) {
    Start();
    chkSelectlistviewItems_UserClick(context_);
    lvwRegistryvaluesScan_ItemClick(context_, 7);
    EXPECT_EQ(kBoxMixed, context_.sections.selectAllState);
    lvwRegistryvaluesScan_ItemClick(context_, 7);
    EXPECT_EQ(kBoxUnchecked, context_.sections.selectAllState);
    EXPECT_EQ("0", Stored("chkSelectlistviewItems"));
    EXPECT_EQ("False", Stored("Windows Startup"));
}

TEST_F(SectionListTest, StoredTextsThatAreNoTruthValueLeaveTheEntryUnticked) {
    ASSERT_TRUE(machine_.settings.Write("Help Files", "maybe"));
    ASSERT_TRUE(machine_.settings.Write("Shared Files", "false"));
    ASSERT_TRUE(machine_.settings.Write("chkSelectlistviewItems", "2"));
    Start();
    EXPECT_FALSE(context_.sections.Checked(5));
    EXPECT_FALSE(context_.sections.Checked(6));
    EXPECT_TRUE(context_.sections.Checked(7));
    EXPECT_EQ(kBoxMixed, context_.sections.selectAllState);
}

TEST_F(SectionListTest, ARefillDuringTheLoadKeepsTheSameEntries) {
    // A handler that runs during a yield refills the list (as the cancel
    // question does); the outer fill must neither crash nor double up.
    bool refilled = false;
    machine_.host.At(3, [&] {
        refilled = true;
        LoadlvwRegistryvaluesScanValues(context_);
    });
    Start();
    ASSERT_TRUE(refilled);
    EXPECT_EQ(12, context_.sections.Count());
}

} // namespace
} // namespace hs

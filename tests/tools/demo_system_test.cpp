// The demo system: its registry walked with the real checkers over its drive
// folders records exactly the planted broken entries, and the writer lays
// out (and rewrites) its folder safely. Natively only: the drives are host
// folders through the POSIX file system.
#ifndef _WIN32
#include "tools/demo_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "checkers/checkers.h"
#include "platform/file_system_posix.h"
#include "platform/reg_file.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "scan/catalogue.h"
#include "scan/scan_driver.h"
#include "scan/section_list.h"
#include "scan/walker.h"
#include "tests/support/test_host.h"
#include "tests/support/temp_folder.h"

namespace hs {

namespace {

namespace stdfs = std::filesystem;

// A problem row as one line, its seven fields in order.
std::string Line(const ProblemRecord& row) {
    std::string line;
    for (int field = 0; field < ProblemRecord::kFieldCount; ++field) line += row.Field(field) + " | ";
    return line;
}

std::string Line(const demo::PlantedProblem& planted) {
    ProblemRecord row;
    row.MainKey = std::to_string(*RootHandleByName(planted.rootName));
    row.KeyName = planted.keyName;
    row.KeyValue = planted.keyValue;
    row.RegistryScanners = planted.section;
    row.FullKeyPath = planted.keyPath;
    row.mainkeyname = planted.rootName;
    row.DefaultOrNot = planted.joined ? "Yes" : "";
    return Line(row);
}

class DemoScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        out_ = (temp_.Path() / "demo").string();
        std::string error;
        ASSERT_TRUE(demo::WriteDemoSystem(out_, error)) << error;
        const auto fault = ImportRegFileFromPath(registry_, (temp_.Path() / "demo" / demo::kRegFileName).string());
        ASSERT_FALSE(fault.has_value()) << "demo.reg line " << fault->line << ": " << fault->message;
        files_ = std::make_unique<PosixFileSystem>(demo::DemoDrives(out_), demo::DemoFolders());
        context_ = std::make_unique<ScanContext>(registry_, settings_, host_, sound_, *files_);
        InstallCheckers(context_->checkers);
    }

    // Runs the registry walks of every fixed catalogue entry as the driver
    // does (status caption first); the class listing tests nothing.
    void ScanRegistry() {
        for (const ScanSection& section : FixedSections(registry_.GetPlatformId())) {
            context_->view.SetCaption(Label::lblStatus, std::string(section.statusCaption));
            for (const StartKey& start : section.startKeys) {
                const std::string path(start.path), name(section.sectionName), root(start.rootName);
                if (section.walk == WalkKind::KeyWalk || section.walk == WalkKind::ConfigWalk) {
                    WalkKeys(*context_, start.root, path, name, root, Label::lblRegistryFilesScan);
                } else if (section.walk == WalkKind::ValueWalk) {
                    WalkValues(*context_, start.root, path, name, root, Label::lblRegistryFilesScan);
                }
            }
        }
    }

    fakes::TempFolder temp_{"hs-demo-"};
    std::string out_;
    MemoryRegistry registry_;
    fakes::MemorySettings settings_;
    fakes::ScriptedHost host_;
    fakes::RecordingSound sound_;
    std::unique_ptr<PosixFileSystem> files_;
    std::unique_ptr<ScanContext> context_;
};

TEST_F(DemoScanTest, ScanRecordsExactlyThePlantedBrokenEntries) {
    ScanRegistry();
    EXPECT_EQ(0u, registry_.OpenHandleCount());

    std::vector<std::string> recorded, planted;
    for (const ProblemRecord& row : context_->lvwErrors.Rows()) recorded.push_back(Line(row));
    for (const demo::PlantedProblem& problem : demo::PlantedProblems()) planted.push_back(Line(problem));
    std::sort(recorded.begin(), recorded.end());
    std::sort(planted.begin(), planted.end());
    std::vector<std::string> unseen, extra;
    std::set_difference(planted.begin(), planted.end(), recorded.begin(), recorded.end(), std::back_inserter(unseen));
    std::set_difference(recorded.begin(), recorded.end(), planted.begin(), planted.end(), std::back_inserter(extra));
    EXPECT_EQ(std::vector<std::string>{}, unseen) << "broken entries the scan did not record";
    EXPECT_EQ(std::vector<std::string>{}, extra) << "recorded, but not planted: a healthy entry?";

    // Every section that can record problems holds at least two.
    std::map<std::string, int> perSection;
    for (const ProblemRecord& row : context_->lvwErrors.Rows()) ++perSection[row.RegistryScanners];
    for (std::string_view section : {kSectionCom, kSectionComSubsections, kSectionAppPaths, kSectionHelpFiles,
                                     kSectionShared, kSectionStartup, kSectionUninstall, kSectionVxd, kSectionFonts}) {
        EXPECT_GE(perSection[std::string(section)], 2) << section;
    }
}

TEST_F(DemoScanTest, AWholeScanListsExactlyTheBrokenShortcutsLast) {
    LoadlvwRegistryvaluesScanValues(*context_);
    ASSERT_EQ(12, context_->sections.Count());  // drive E: is removable
    RunScan(*context_);

    std::vector<std::string> recorded, planted;
    for (const ShortcutProblem& row : context_->lvwShortcut.Rows()) recorded.push_back(row.path);
    for (const demo::PlantedShortcut& shortcut : demo::PlantedShortcuts()) {
        if (shortcut.broken) planted.emplace_back(shortcut.path);
    }
    std::sort(recorded.begin(), recorded.end());
    std::sort(planted.begin(), planted.end());
    EXPECT_EQ(planted, recorded);
    EXPECT_EQ(context_->lvwErrors.Count(), demo::PlantedProblems().size());
    ASSERT_FALSE(context_->results.lvwRegistryProblems.Rows().empty());
    EXPECT_EQ("Invalid Windows Shortcut File (" + std::to_string(planted.size()) + " Problems)",
              context_->results.lvwRegistryProblems.Rows().back());
}

TEST_F(DemoScanTest, DrivesFollowTheLayoutContract) {
    const std::vector<DriveInfo> drives = files_->Drives();
    ASSERT_EQ(2u, drives.size());
    EXPECT_EQ(kDriveFixed, drives[0].type);
    EXPECT_EQ(kDriveRemovable, drives[1].type);
    EXPECT_EQ("C:\\WINDOWS\\system32", files_->SystemFolder());
    EXPECT_EQ("C:\\WINDOWS", files_->WindowsFolder());

    for (std::string_view folder : {demo::kWindowsFolder, demo::kSystemFolder, demo::kProgramFolder, demo::kTempFolder,
                                    demo::kUserDesktop, demo::kUserPrograms, demo::kPublicDesktop,
                                    demo::kPublicPrograms, std::string_view("C:\\WINDOWS\\Fonts"),
                                    std::string_view("C:\\WINDOWS\\Help")}) {
        const std::uint32_t attributes = files_->GetFileAttributes(std::string(folder), nullptr);
        EXPECT_TRUE(attributes != kInvalidFileAttributes && (attributes & kAttrDirectory) != 0) << folder;
    }
    EXPECT_NE(kInvalidFileAttributes, files_->GetFileAttributes("E:\\Apps\\Stargaze\\readme.txt", nullptr));
}

TEST(DemoWriterTest, RewritesAnEarlierDemoButNoOtherFolder) {
    fakes::TempFolder temp{"hs-demo-"};
    const stdfs::path out = temp.Path() / "demo";
    std::string error;
    ASSERT_TRUE(demo::WriteDemoSystem(out.string(), error)) << error;

    // A file left in an earlier demo's drive is gone after writing again.
    const stdfs::path stray = out / "C" / "WINDOWS" / "system32" / "vgxcodec.dll";
    std::ofstream(stray) << "left over";
    ASSERT_TRUE(demo::WriteDemoSystem(out.string(), error)) << error;
    EXPECT_FALSE(stdfs::exists(stray));
    EXPECT_TRUE(stdfs::exists(out / "demo.reg"));

    // A folder with other contents, or a file, is never written into.
    const stdfs::path foreign = temp.Path() / "foreign";
    stdfs::create_directories(foreign / "C");
    std::ofstream(foreign / "C" / "keep.txt") << "mine";
    error.clear();
    EXPECT_FALSE(demo::WriteDemoSystem(foreign.string(), error));
    EXPECT_NE(std::string::npos, error.find("not empty")) << error;
    EXPECT_TRUE(stdfs::exists(foreign / "C" / "keep.txt"));
    EXPECT_FALSE(stdfs::exists(foreign / "demo.reg"));

    error.clear();
    EXPECT_FALSE(demo::WriteDemoSystem((foreign / "C" / "keep.txt").string(), error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(demo::WriteDemoSystem("", error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace hs
#endif

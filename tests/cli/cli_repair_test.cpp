// hivesweep-cli repair and backups on the demo system: a repair followed by a
// restore gives back the same registry contents and the same shortcut files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/host_files.h"
#include "tools/demo_system.h"
#include "tools/reg_canonical.h"

#ifndef _WIN32
namespace hs::cli {
namespace {

namespace fs = std::filesystem;

// Every file below a folder with its bytes.
std::map<std::string, std::string> FilesBelow(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::string bytes;
        EXPECT_EQ(ReadOutcome::kRead, ReadWholeFile(entry.path().string(), bytes));
        files[fs::relative(entry.path(), folder).string()] = bytes;
    }
    return files;
}

class CliRepairTest : public ::testing::Test {
protected:
    CliRepairTest() {
        root_ = fs::temp_directory_path() /
                ("hivesweep-cli-repair-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        std::string error;
        EXPECT_TRUE(demo::WriteDemoSystem((root_ / "demo").string(), error)) << error;
        fs::create_directories(root_ / "backups");
        EXPECT_EQ(kExitClean, Run({"settings", "set", "txtBackup", (root_ / "backups").string()}));
    }
    ~CliRepairTest() override { fs::remove_all(root_); }

    int Run(std::vector<std::string> args, const std::string& input = "") {
        const std::vector<std::string> options{
            "--registry",   (root_ / "demo" / "demo.reg").string(), "--drive", "C=" + (root_ / "demo" / "C").string(),
            "--drive",      "E=" + (root_ / "demo" / "E").string() + ":removable",
            "--config-dir", (root_ / "config").string()};
        args.insert(args.end(), options.begin(), options.end());
        out_.str("");
        err_.str("");
        std::istringstream in(input);
        Streams streams{out_, err_, in, false};
        return cli::Run(args, streams);
    }

    std::string Registry() {
        std::string bytes, error;
        EXPECT_EQ(ReadOutcome::kRead, ReadWholeFile((root_ / "demo" / "demo.reg").string(), bytes));
        std::string canonical = tools::CanonicalRegText(bytes, error);
        EXPECT_EQ("", error);
        return canonical;
    }
    std::vector<std::string> BackupNames() {
        EXPECT_EQ(kExitClean, Run({"backups", "list"}));
        std::vector<std::string> names;
        std::istringstream lines(out_.str());
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("BackUp ", 0) == 0) names.push_back(line.substr(0, line.find('\t')));
        }
        return names;
    }

    fs::path root_;
    std::ostringstream out_, err_;
};

TEST_F(CliRepairTest, RepairThenRestoreGivesBackTheRegistryAndTheShortcuts) {
    const std::string registryBefore = Registry();
    const auto driveBefore = FilesBelow(root_ / "demo" / "C");

    // A "no" (and the end of the input) changes nothing.
    EXPECT_EQ(kExitDeclined, Run({"repair"}, "n\n"));
    EXPECT_EQ(kExitDeclined, Run({"repair"}));
    EXPECT_EQ(registryBefore, Registry());

    ASSERT_EQ(kExitClean, Run({"repair", "--yes"})) << out_.str() << err_.str();
    EXPECT_NE(std::string::npos, out_.str().find("Repaired 29 problem(s).")) << out_.str();
    EXPECT_NE(registryBefore, Registry());
    EXPECT_NE(driveBefore, FilesBelow(root_ / "demo" / "C"));
    EXPECT_EQ(kExitClean, Run({"scan"})) << "a repaired system scans clean";

    const std::vector<std::string> names = BackupNames();
    ASSERT_EQ(1u, names.size());
    std::vector<std::string> restore{"backups", "restore"};
    restore.insert(restore.end(), names.begin(), names.end());
    ASSERT_EQ(kExitClean, Run(restore)) << out_.str();

    EXPECT_EQ(registryBefore, Registry());
    EXPECT_EQ(driveBefore, FilesBelow(root_ / "demo" / "C"));
    EXPECT_TRUE(BackupNames().empty()) << "a backup put back whole is used up";
}

TEST_F(CliRepairTest, WithoutABackupFolderNothingChangesAndEveryProblemIsLeft) {
    ASSERT_EQ(kExitClean, Run({"settings", "set", "txtBackup", (root_ / "no such folder").string()}));
    const std::string registryBefore = Registry();
    EXPECT_EQ(kExitIncomplete, Run({"repair", "--yes", "--section", "Help Files"}));
    EXPECT_NE(std::string::npos, out_.str().find("Repaired 0 problem(s).")) << out_.str();
    EXPECT_EQ(registryBefore, Registry());
}

TEST_F(CliRepairTest, BackupNamesMustBeOnesTheListShows) {
    ASSERT_EQ(kExitClean, Run({"repair", "--yes", "--section", "Help Files"}));
    const std::vector<std::string> names = BackupNames();
    ASSERT_EQ(1u, names.size());
    for (const std::string& name : {std::string("../demo/demo.reg"), std::string("C:\\x"), names[0] + ".copies",
                                    std::string("BackUp nothing")}) {
        EXPECT_EQ(kExitUsage, Run({"backups", "restore", name})) << name;
        EXPECT_EQ(kExitUsage, Run({"backups", "delete", "--yes", name})) << name;
    }
    EXPECT_EQ(kExitDeclined, Run({"backups", "delete", names[0]}, "no\n"));
    EXPECT_EQ(kExitClean, Run({"backups", "delete", names[0], "--yes"}));
    EXPECT_TRUE(BackupNames().empty());
    EXPECT_TRUE(fs::is_empty(root_ / "backups")) << "the shortcut copies go with their file";
}

} // namespace
} // namespace hs::cli
#endif

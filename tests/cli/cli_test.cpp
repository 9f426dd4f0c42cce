// hivesweep-cli over host folders: exit codes, error messages, the JSON
// document and the stored selection.
#include "cli/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ansi_text.h"

namespace hs::cli {
namespace {

namespace fs = std::filesystem;

// The stand-in options (--drive, --config-dir) belong to the portable build;
// the Windows program is run with --registry by scripts/test.
#ifndef _WIN32

constexpr const char* kRegistry =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help]\r\n"
    "\"gone.hlp\"=\"C:\\\\Gone\"\r\n"
    "\"there.hlp\"=\"C:\\\\Docs\"\r\n"
    "\"caf\xE9.hlp\"=\"C:\\\\Gone\"\r\n";

class CliTest : public ::testing::Test {
protected:
    CliTest() {
        root_ = fs::temp_directory_path() / ("hivesweep-cli-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "C" / "Docs");
        fs::create_directories(root_ / "C" / "WINDOWS" / "system32");
        std::ofstream(root_ / "C" / "Docs" / "there.hlp") << "help";
        WriteRegistry(kRegistry);
    }
    ~CliTest() override {
        InterruptRequested().store(false);
        fs::remove_all(root_);
    }

    void WriteRegistry(const std::string& text) { std::ofstream(root_ / "m.reg", std::ios::binary) << text; }

    // Runs a command with the stand-in options added after it.
    int Run(std::vector<std::string> args, bool withMachine = true) {
        if (withMachine) {
            const std::vector<std::string> options{"--registry",   (root_ / "m.reg").string(),
                                                   "--drive",      "C=" + (root_ / "C").string(),
                                                   "--config-dir", (root_ / "config").string()};
            args.insert(args.end(), options.begin(), options.end());
        }
        out_.str("");
        err_.str("");
        Streams streams{out_, err_, in_, false};
        return cli::Run(args, streams);
    }

    fs::path root_;
    std::ostringstream out_, err_;
    std::istringstream in_;
};

TEST_F(CliTest, ExitCodesTellUsageErrorsFromFindings) {
    struct Case {
        std::vector<std::string> args;
        bool withMachine;
        int code;
        const char* errPiece;
    };
    const Case cases[] = {
        {{}, false, kExitUsage, "usage:"},
        {{"bogus"}, true, kExitUsage, "unknown command \"bogus\""},
        {{"scan", "--bogus"}, true, kExitUsage, "unknown option --bogus"},
        {{"scan"}, false, kExitUsage, "needs a registry file"},
        {{"scan", "--section", "Help files"}, true, kExitUsage, "--section \"Help files\": no such section"},
        {{"scan", "--format", "xml"}, true, kExitUsage, "expected text or json"},
        {{"sections", "--format", "json"}, true, kExitUsage, "belongs to the scan command"},
        {{"scan", "--drive", "C"}, false, kExitUsage, "expected L=DIR[:TYPE]"},
        {{"scan", "--drive", "E=/nowhere/at/all:removable", "--registry", "x.reg"}, false, kExitUsage, "x.reg"},
        {{"settings", "get"}, true, kExitUsage, "usage: settings get KEY"},
        {{"scan", "--section", "Windows Fonts"}, true, kExitClean, ""},
        {{"scan", "--section", "Help Files"}, true, kExitProblems, ""},
        {{"--help"}, false, kExitClean, ""},
        {{"scan", "--help"}, false, kExitClean, ""},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& arg : c.args) joined += arg + " ";
        EXPECT_EQ(c.code, Run(c.args, c.withMachine)) << joined << "\n" << err_.str();
        EXPECT_NE(std::string::npos, err_.str().find(c.errPiece)) << joined << "\n" << err_.str();
    }
}

TEST_F(CliTest, ABadRegistryFileNamesItsLine) {
    WriteRegistry("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"broken\r\n");
    EXPECT_EQ(kExitUsage, Run({"scan"}));
    EXPECT_NE(std::string::npos, err_.str().find("m.reg:4: ")) << err_.str();
}

TEST_F(CliTest, JsonHoldsEveryRecordAsTheCheckersWroteIt) {
    ASSERT_EQ(kExitProblems, Run({"scan", "--format", "json", "--section", "Help Files"}));
    const std::string json = out_.str();
    EXPECT_EQ(0u, json.rfind("{\"started\": \"", 0)) << json;
    const std::string problems =
        "\"cancelled\": false, \"problems\": ["
        "{\"MainKey\": \"-2147483646\", \"KeyName\": \"gone.hlp\", \"KeyValue\": \"C:\\\\Gone\\\\gone.hlp\", "
        "\"Registry Scanners\": \"Help Files\", \"FullKeyPath\": \"SOFTWARE\\\\Microsoft\\\\Windows\\\\Help\", "
        "\"mainkeyname\": \"HKEY_LOCAL_MACHINE\", \"DefaultOrNot\": \"\"}, "
        "{\"MainKey\": \"-2147483646\", \"KeyName\": \"caf\xEF\xBF\xBD.hlp\", "
        "\"KeyValue\": \"C:\\\\Gone\\\\caf\xEF\xBF\xBD.hlp\", "
        "\"Registry Scanners\": \"Help Files\", \"FullKeyPath\": \"SOFTWARE\\\\Microsoft\\\\Windows\\\\Help\", "
        "\"mainkeyname\": \"HKEY_LOCAL_MACHINE\", \"DefaultOrNot\": \"\"}], "
        "\"shortcuts\": [], \"summary\": [\"Invalid Help Files ( 2 Problem(s) )\"]}\n";
    EXPECT_NE(std::string::npos, json.find(problems)) << json;
    // One object and nothing else.
    EXPECT_EQ(json.size() - problems.size(), json.find(problems));
}

TEST_F(CliTest, NamedSectionsAreForOneRunAndTheSelectionIsStoredByTheSectionsCommand) {
    ASSERT_EQ(kExitClean, Run({"sections", "deselect", "Help Files", "Custom Controls"}));
    EXPECT_NE(std::string::npos, out_.str().find("Select all: mixed\n"));
    EXPECT_NE(std::string::npos, out_.str().find("[ ] Help Files\n"));
    // The stored choice leaves Help Files out...
    EXPECT_EQ(kExitClean, Run({"scan"}));
    // ...and naming it scans it without storing anything.
    EXPECT_EQ(kExitProblems, Run({"scan", "--section", "Help Files"}));
    ASSERT_EQ(kExitClean, Run({"sections"}));
    EXPECT_NE(std::string::npos, out_.str().find("[ ] Help Files\n"));

    ASSERT_EQ(kExitClean, Run({"sections", "all"}));
    EXPECT_NE(std::string::npos, out_.str().find("Select all: checked\n[x] Registry Integrity\n"));
    EXPECT_EQ(kExitProblems, Run({"scan"}));
    ASSERT_EQ(kExitClean, Run({"sections", "none"}));
    EXPECT_EQ(std::string::npos, out_.str().find("[x]"));
}

TEST_F(CliTest, SettingsAreStoredAndTheReportIsWrittenWhereTheyPoint) {
    const std::string reportFolder = (root_ / "reports").string();
    fs::create_directories(reportFolder);
    ASSERT_EQ(kExitClean, Run({"settings", "set", "chkMakeLogFile", "1"}));
    ASSERT_EQ(kExitClean, Run({"settings", "set", "txtLogFile", reportFolder}));
    ASSERT_EQ(kExitClean, Run({"settings", "get", "txtLogFile"}));
    EXPECT_EQ(reportFolder + "\n", out_.str());

    EXPECT_EQ(kExitProblems, Run({"scan", "--section", "Help Files"}));
    EXPECT_TRUE(fs::exists(fs::path(reportFolder) / "ScanReport.txt"));
    EXPECT_NE(std::string::npos, out_.str().find("Scan report: " + reportFolder + "\\ScanReport.txt")) << out_.str();
    // The registry file was only read.
    std::ifstream in(root_ / "m.reg", std::ios::binary);
    EXPECT_EQ(kRegistry, std::string(std::istreambuf_iterator<char>(in), {}));
}

TEST_F(CliTest, AnInterruptCancelsTheScanAndThePartialResultsStillComeOut) {
    InterruptRequested().store(true);
    EXPECT_EQ(kExitCancelled, Run({"scan", "--format", "json"}));
    EXPECT_NE(std::string::npos, out_.str().find("\"cancelled\": true")) << out_.str();
}

#endif

TEST(CliJsonTest, JsonStringEscapes) {
    EXPECT_EQ("\"a\\\"b\\\\c\\n\\r\\t\\u0001\"", JsonString("a\"b\\c\n\r\t\x01"));
#ifdef _WIN32
    // Text is in the ANSI code page and crosses to UTF-8 as it stands.
    EXPECT_EQ("\"" + AnsiToUtf8("\xE9") + "\"", JsonString("\xE9"));
#else
    // The portable build's ANSI text is UTF-8: what is not valid becomes U+FFFD.
    EXPECT_EQ("\"\xC3\xA9\"", JsonString("\xC3\xA9"));
    EXPECT_EQ("\"\xEF\xBF\xBD" "x\"", JsonString("\xFFx"));
#endif
}

} // namespace
} // namespace hs::cli

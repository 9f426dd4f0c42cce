// The program's own shortcut reader against the system's shell link object:
// links saved through IShellLinkA and IPersistFile must read back with the
// target and working directory that IShellLinkA reports, and links from the
// link writer must load in the shell with the target our reader sees.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/ansi_text.h"
#include "platform/file_system_win32.h"
#include "shortcuts/link_format.h"
#include "shortcuts/shell_links.h"
#include "tests/support/win32_scratch.h"
#include "tools/link_writer.h"

namespace hs {
namespace {

std::wstring Wide(const std::string& ansi) {
    const std::string bytes = AnsiToUtf16Le(ansi);
    std::wstring wide(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return wide;
}

struct ShellAnswer {
    std::string path;
    std::string workingDirectory;
};

class ShellLinkCrossCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        static int counter = 0;
        folder_ =
            files_.TempFolder() + "hslnk-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << GetLastError();
    }
    void TearDown() override {
        fakes::RemoveTree(folder_);
        CoUninitialize();
    }

    // Saves a link through the shell.
    void SaveWithShell(const std::string& linkPath, const std::string& target, const std::string& workingDirectory,
                       const std::string& arguments) {
        IShellLinkA* link = nullptr;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                               reinterpret_cast<void**>(&link))));
        link->SetPath(target.c_str());
        EXPECT_TRUE(workingDirectory.empty() || SUCCEEDED(link->SetWorkingDirectory(workingDirectory.c_str())));
        EXPECT_TRUE(arguments.empty() || SUCCEEDED(link->SetArguments(arguments.c_str())));
        IPersistFile* file = nullptr;
        ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
        EXPECT_TRUE(SUCCEEDED(file->Save(Wide(linkPath).c_str(), TRUE))) << linkPath;
        file->Release();
        link->Release();
    }

    // Loads a link through the shell; nothing when it does not load.
    std::optional<ShellAnswer> LoadWithShell(const std::string& linkPath) {
        IShellLinkA* link = nullptr;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(&link))))
            return std::nullopt;
        IPersistFile* file = nullptr;
        std::optional<ShellAnswer> answer;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(Wide(linkPath).c_str(), STGM_READ))) {
                char path[MAX_PATH + 1] = {};
                char directory[MAX_PATH + 1] = {};
                link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
                link->GetWorkingDirectory(directory, MAX_PATH);
                answer = ShellAnswer{path, directory};
            }
            file->Release();
        }
        link->Release();
        return answer;
    }

    // What the program's reader makes of the file.
    std::optional<ShellAnswer> LoadWithOurReader(const std::string& linkPath) {
        std::string bytes;
        if (!files_.ReadFileBytes(linkPath, kMaxShortcutFileBytes, bytes, nullptr)) return std::nullopt;
        const std::optional<ShellLinkFile> parsed = ParseShellLink(bytes);
        if (!parsed) return std::nullopt;
        const std::optional<std::string> target = StoredTarget(*parsed);
        return ShellAnswer{target.value_or("<unknown>"), parsed->workingDirectory};
    }

    Win32FileSystem files_;
    std::string folder_;
};

TEST_F(ShellLinkCrossCheckTest, OurReaderAgreesWithTheShellOnItsOwnLinks) {
    const std::string existing = folder_ + "\\Target File.txt";
    {
        HANDLE file =
            CreateFileA(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
    }
    const struct {
        std::string target;
        std::string workingDirectory;
        std::string arguments;
    } cases[] = {
        {existing, folder_, ""},
        {folder_, "", ""},
        {"C:\\nonexistent\\app.exe", "C:\\nonexistent", "/a /b"},
        {"C:\\Program Files\\Some Long Folder\\A Long File Name.exe", "C:\\Program Files", ""},
    };
    int index = 0;
    for (const auto& c : cases) {
        const std::string linkPath = folder_ + "\\link" + std::to_string(++index) + ".lnk";
        SaveWithShell(linkPath, c.target, c.workingDirectory, c.arguments);
        const auto shell = LoadWithShell(linkPath);
        const auto ours = LoadWithOurReader(linkPath);
        ASSERT_TRUE(shell) << c.target;
        ASSERT_TRUE(ours) << c.target;
        EXPECT_EQ(shell->path, ours->path) << c.target;
        EXPECT_EQ(shell->workingDirectory, ours->workingDirectory) << c.target;
        EXPECT_EQ(c.workingDirectory, ours->workingDirectory);
    }
}

TEST_F(ShellLinkCrossCheckTest, TheShellReadsTheLinkWriterLikeOurReader) {
    tools::ShellLinkShape withoutItems = tools::LinkTo("C:\\Apps\\Tool\\tool.exe", "C:\\Apps\\Tool");
    withoutItems.idListTarget.clear();
    tools::ShellLinkShape nulCounted = tools::LinkTo("C:\\Apps\\x.exe", "C:\\Apps");
    nulCounted.idListTarget.clear();
    nulCounted.countTerminatingNul = true;
    const tools::ShellLinkShape cases[] = {
        withoutItems,
        nulCounted,
        tools::LinkTo("C:\\Gone\\Long Folder Name\\gone.exe", "C:\\Gone"),
    };
    int index = 0;
    for (const auto& shape : cases) {
        const std::string linkPath = folder_ + "\\written" + std::to_string(++index) + ".lnk";
        HANDLE file =
            CreateFileA(linkPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        const std::string bytes = tools::MakeShellLink(shape);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        const auto shell = LoadWithShell(linkPath);
        const auto ours = LoadWithOurReader(linkPath);
        ASSERT_TRUE(shell) << shape.localBasePath;
        ASSERT_TRUE(ours) << shape.localBasePath;
        EXPECT_EQ(shape.localBasePath, ours->path);
        EXPECT_EQ(shell->path, ours->path);
        EXPECT_EQ(shell->workingDirectory, ours->workingDirectory);
    }
}

} // namespace
} // namespace hs

// Tests of the settings store: shared behaviour against both backends, then each backend's own rules.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "settings/settings_file.h"
#include "settings/settings_registry.h"
#include "settings/settings_store.h"
#include "tests/support/temp_folder.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace hs {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

long ThisProcessId() {
#ifdef _WIN32
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(getpid());
#endif
}

// --- the backends, each with a store that starts empty ---

struct RegistryBackend {
    MemoryRegistry registry;
    RegistrySettingsStore store{registry};
};

struct FileBackend {
    fakes::TempFolder temp{"hs-settings-"};
    FileSettingsStore store{temp.Path().string()};
};

struct BackendNames {
    template <class T>
    static std::string GetName(int) {
        return std::is_same_v<T, RegistryBackend> ? "Registry" : "File";
    }
};

template <class Backend>
class SettingsStoreContract : public ::testing::Test {
protected:
    SettingsStore& Store() { return backend_.store; }
    Backend backend_;
};

using Backends = ::testing::Types<RegistryBackend, FileBackend>;
TYPED_TEST_SUITE(SettingsStoreContract, Backends, BackendNames);

TYPED_TEST(SettingsStoreContract, UnstoredKeysGiveEachCallersDefault) {
    SettingsStore& store = this->Store();
    EXPECT_EQ(store.Read("chkMakeBackUp", 1L), "1");
    EXPECT_EQ(store.Read("chkMakeLogFile", 0L), "0");
    EXPECT_EQ(store.Read("chkSelectlistviewItems", -1L), "-1");
    EXPECT_EQ(store.Read("Registry Integrity", "True"), "True");
    EXPECT_EQ(store.Read("txtWaveFilesPath", ""), "");

    ASSERT_TRUE(store.Write("chkMakeLogFile", "1"));
    // Stored text wins over any reader's default, numeric or not.
    EXPECT_EQ(store.Read("chkMakeLogFile", 0L), "1");
    EXPECT_EQ(store.Read("chkMakeLogFile", "7"), "1");
    // Other keys still fall back.
    EXPECT_EQ(store.Read("chkPlaySound", 0L), "0");
}

TYPED_TEST(SettingsStoreContract, KeysMatchWithoutRegardToCase) {
    SettingsStore& store = this->Store();
    // The backup writer's spelling, read by everyone else's.
    ASSERT_TRUE(store.Write("txtBackUp", "D:\\Backups"));
    EXPECT_EQ(store.Read("txtBackup", "C:\\Program"), "D:\\Backups");
    // And the other way round, replacing rather than adding.
    ASSERT_TRUE(store.Write("txtBackup", "E:\\Elsewhere"));
    EXPECT_EQ(store.Read("txtBackUp", "C:\\Program"), "E:\\Elsewhere");
    ASSERT_TRUE(store.Write("TXTBACKUP", "F:\\"));
    EXPECT_EQ(store.Read("txtbackup", ""), "F:\\");
}

TYPED_TEST(SettingsStoreContract, ValuesRoundTripExactly) {
    const std::vector<std::string> values = {
        "",
        "  C:\\Program Files\\Hivesweep  ",
        "a=b==c=",
        "first line\nsecond line",
        "cr\r\nlf\n",
        "\\\\server\\share\\",
        "ends in a backslash\\",
        "\\n is not a newline",
        "[Settings]",
        "\t tab and blanks \t",
        "caf\xc3\xa9",
    };
    SettingsStore& store = this->Store();
    for (std::size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "value [" << i << "]");
        ASSERT_TRUE(store.Write("txtLogFile", values[i]));
        EXPECT_EQ(store.Read("txtLogFile", "default"), values[i]);
    }
}

TYPED_TEST(SettingsStoreContract, RewritingOneKeyKeepsTheOthers) {
    SettingsStore& store = this->Store();
    ASSERT_TRUE(store.Write("chkMakeBackUp", "0"));
    ASSERT_TRUE(store.Write("Window Shortcut C", "False"));
    ASSERT_TRUE(store.Write("txtWaveFilesPath", " C:\\ding.wav "));
    ASSERT_TRUE(store.Write("chkMakeBackUp", "1"));
    ASSERT_TRUE(store.Write("Window Shortcut C", "True"));
    EXPECT_EQ(store.Read("chkMakeBackUp", 0L), "1");
    EXPECT_EQ(store.Read("Window Shortcut C", "x"), "True");
    EXPECT_EQ(store.Read("txtWaveFilesPath", ""), " C:\\ding.wav ");
}

// --- conversions a reader applies ---

TEST(SettingsConversionTest, Numbers) {
    struct Case {
        const char* text;
        std::optional<long> number;
    };
    const Case cases[] = {
        {"0", 0},      {"1", 1},        {"2", 2},         {" 1 ", 1},      {"\t-1\t", -1}, {"+7", 7},
        {"007", 7},    {"", {}},        {"   ", {}},      {"maybe", {}},   {"1x", {}},     {"x1", {}},
        {"1 2", {}},   {"1.0", {}},     {"-", {}},        {"- 1", {}},     {"True", {}},   {"99999999999999999999", {}},
        {"&H1", {}},   {"--1", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "text \"" << c.text << "\"");
        EXPECT_EQ(SettingAsNumber(c.text), c.number);
    }
}

TEST(SettingsConversionTest, TruthValues) {
    struct Case {
        const char* text;
        std::optional<bool> truth;
    };
    const Case cases[] = {
        {"True", true},   {"False", false}, {"true", true}, {"FALSE", false}, {" True ", true}, {"1", true},
        {"-1", true},     {"2", true},      {"0", false},   {" 0 ", false},   {"maybe", {}},    {"", {}},
        {"Truely", {}},   {"T", {}},        {"yes", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "text \"" << c.text << "\"");
        EXPECT_EQ(SettingAsTruth(c.text), c.truth);
    }
}

// --- the registry backend ---

class SettingsRegistryTest : public ::testing::Test {
protected:
    // The raw value as another tool would see it.
    std::optional<std::pair<std::uint32_t, std::string>> RawValue(const char* name) {
        RegKey key = 0;
        if (registry_.OpenKeyEx(kHkeyCurrentUser, "Software\\Hivesweep v6.0\\Settings", kKeyQueryValue, &key) !=
            kErrorSuccess)
            return std::nullopt;
        std::uint32_t type = 0;
        std::uint8_t data[512] = {};
        std::uint32_t size = sizeof data;
        RegStatus status = registry_.QueryValueEx(key, name, &type, data, &size);
        (void)registry_.CloseKey(key);
        if (status != kErrorSuccess) return std::nullopt;
        return std::make_pair(type, std::string(reinterpret_cast<char*>(data), size));
    }

    // Stores a value as another tool might have.
    void SetRaw(const char* name, std::uint32_t type, const std::string& bytes) {
        RegKey key = 0;
        ASSERT_EQ(registry_.CreateKeyEx(kHkeyCurrentUser, "Software\\Hivesweep v6.0\\Settings", kKeyAllAccess, &key,
                                        nullptr),
                  kErrorSuccess);
        ASSERT_EQ(registry_.SetValueEx(key, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                       static_cast<std::uint32_t>(bytes.size())),
                  kErrorSuccess);
        ASSERT_EQ(registry_.CloseKey(key), kErrorSuccess);
    }

    MemoryRegistry registry_;
    RegistrySettingsStore store_{registry_};
};

TEST_F(SettingsRegistryTest, WritesStringValuesUnderTheUsersKeyAndClosesEveryKey) {
    EXPECT_EQ(store_.Read("chkMakeBackUp", 1L), "1");
    // Reading alone creates nothing.
    RegKey key = 0;
    EXPECT_EQ(registry_.OpenKeyEx(kHkeyCurrentUser, "Software\\Hivesweep v6.0", kKeyQueryValue, &key),
              kErrorFileNotFound);

    ASSERT_TRUE(store_.Write("chkMakeBackUp", "0"));
    EXPECT_EQ(RawValue("CHKMAKEBACKUP"), std::make_pair(kRegSz, std::string("0\0", 2)));
    EXPECT_EQ(store_.Read("chkMakeBackUp", 1L), "0");
    EXPECT_EQ(store_.Read("chkOther", 1L), "1");
    EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

TEST_F(SettingsRegistryTest, ValuesLeftByOtherToolsReadByType) {
    SetRaw("noNul", kRegSz, "abc");                 // REG_SZ stored without its NUL
    SetRaw("embeddedNul", kRegSz, std::string("ab\0cd\0", 6));
    SetRaw("dword", kRegDword, std::string("\x02\x00\x00\x00", 4));
    SetRaw("dwordMax", kRegDword, std::string("\xff\xff\xff\xff", 4));
    SetRaw("shortDword", kRegDword, std::string("\x01", 1));
    SetRaw("expand", kRegExpandSz, std::string("%TEMP%\0", 7));
    SetRaw("binary", kRegBinary, std::string("\x01\x00", 2));
    SetRaw("empty", kRegSz, "");

    EXPECT_EQ(store_.Read("noNul", "d"), "abc");
    EXPECT_EQ(store_.Read("embeddedNul", "d"), "ab");
    EXPECT_EQ(store_.Read("dword", "d"), "2");
    EXPECT_EQ(store_.Read("dwordMax", "d"), "4294967295");
    EXPECT_EQ(store_.Read("shortDword", "d"), "d");
    EXPECT_EQ(store_.Read("expand", "d"), "d");
    EXPECT_EQ(store_.Read("binary", "d"), "d");
    EXPECT_EQ(store_.Read("empty", "d"), "");
    EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

TEST_F(SettingsRegistryTest, RefusesTextThatAStringValueCannotHold) {
    ASSERT_TRUE(store_.Write("txtLogFile", "C:\\Logs"));
    EXPECT_FALSE(store_.Write("txtLogFile", std::string("C:\\\0evil", 8)));
    EXPECT_EQ(store_.Read("txtLogFile", ""), "C:\\Logs");
    EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

// --- the file backend ---

class SettingsFileTest : public ::testing::Test {
protected:
    fs::path Folder() const { return temp_.Path() / "Hivesweep v6.0"; }
    fs::path File() const { return Folder() / "settings.ini"; }

    fakes::TempFolder temp_{"hs-settings-"};
    FileSettingsStore store_{temp_.Path().string()};
};

TEST_F(SettingsFileTest, CreatesTheFolderAndWritesEscapedLines) {
    EXPECT_EQ(fs::path(store_.FilePath()), File());
    ASSERT_TRUE(store_.Write("chkMakeBackUp", "1"));
    ASSERT_TRUE(store_.Write("txtLogFile", " C:\\Logs\\\nnext\r"));
    ASSERT_TRUE(store_.Write("odd=[key]", "v=w"));
    EXPECT_EQ(ReadFileBytes(File()),
              "[Settings]\n"
              "chkMakeBackUp=1\n"
              "txtLogFile= C:\\\\Logs\\\\\\nnext\\r\n"
              "odd\\=\\[key]=v=w\n");
    EXPECT_EQ(store_.Read("ODD=[KEY]", ""), "v=w");
    // A rewrite under another spelling keeps the line where it was and its first spelling.
    ASSERT_TRUE(store_.Write("CHKMAKEBACKUP", "0"));
    EXPECT_EQ(ReadFileBytes(File()),
              "[Settings]\n"
              "chkMakeBackUp=0\n"
              "txtLogFile= C:\\\\Logs\\\\\\nnext\\r\n"
              "odd\\=\\[key]=v=w\n");
}

TEST_F(SettingsFileTest, KeepsLinesItDoesNotOwnAndReadsOnlyItsSection) {
    const std::string before =
        "; written by hand\r\n"
        "chkPlaySound=1\r\n"             // before any section: not ours
        "[Other]\r\n"
        "txtBackup=C:\\Other\r\n"
        "[ settings ]\r\n"
        "no equals sign here\r\n"
        "txtBackup=C:\\Mine\r\n"
        "TXTBACKUP=C:\\Shadowed\r\n"     // a later duplicate: the first one counts
        "\r\n"
        "[Trailer]\r\n"
        "x=y";                            // no line end at the end
    WriteFileBytes(File(), before);

    EXPECT_EQ(store_.Read("chkPlaySound", 0L), "0");
    EXPECT_EQ(store_.Read("txtBackUp", ""), "C:\\Mine");

    ASSERT_TRUE(store_.Write("txtBackUp", "D:\\New"));
    ASSERT_TRUE(store_.Write("chkMakeLogFile", "1"));
    EXPECT_EQ(ReadFileBytes(File()),
              "; written by hand\r\n"
              "chkPlaySound=1\r\n"
              "[Other]\r\n"
              "txtBackup=C:\\Other\r\n"
              "[ settings ]\r\n"
              "no equals sign here\r\n"
              "txtBackup=D:\\\\New\r\n"  // ours is escaped; the hand-written one read leniently
              "TXTBACKUP=C:\\Shadowed\r\n"
              "chkMakeLogFile=1\r\n"
              "\r\n"
              "[Trailer]\r\n"
              "x=y\n");
    EXPECT_EQ(store_.Read("txtbackup", ""), "D:\\New");
}

TEST_F(SettingsFileTest, GarbageNeverFailsAReader) {
    WriteFileBytes(File(), "\0\xff\xfe[[[\n=\n\\\n[Settings\n]]\nkey=\\\n[Settings]\ntrailing\\=not a key\nlone\\"s);
    EXPECT_EQ(store_.Read("chkMakeBackUp", 1L), "1");
    EXPECT_EQ(store_.Read("key", "d"), "d");           // outside the section
    EXPECT_EQ(store_.Read("trailing=not a key", "d"), "d");  // an escaped = does not end a key
    ASSERT_TRUE(store_.Write("chkMakeBackUp", "0"));
    EXPECT_EQ(store_.Read("chkMakeBackUp", 1L), "0");
    EXPECT_EQ(store_.Read("lone\\", "d"), "d");
}

TEST_F(SettingsFileTest, FailedWritesReportFalseAndLeaveTheOldFile) {
    // A base folder that cannot exist: its parent is a regular file.
    WriteFileBytes(temp_.Path() / "plain-file", "x");
    FileSettingsStore blocked((temp_.Path() / "plain-file" / "config").string());
    EXPECT_FALSE(blocked.Write("chkMakeBackUp", "0"));
    EXPECT_EQ(blocked.Read("chkMakeBackUp", 1L), "1");

    // An old file, and a temporary file that cannot be created beside it.
    ASSERT_TRUE(store_.Write("chkMakeBackUp", "0"));
    const std::string before = ReadFileBytes(File());
    const fs::path temporary = Folder() / ("settings.ini." + std::to_string(ThisProcessId()) + ".tmp");
    fs::create_directories(temporary / "occupied");
    EXPECT_FALSE(store_.Write("chkMakeBackUp", "1"));
    EXPECT_EQ(store_.Read("chkMakeBackUp", 1L), "0");
    EXPECT_EQ(ReadFileBytes(File()), before);

    // An empty base holds nothing and writes nowhere.
    FileSettingsStore nowhere("");
    EXPECT_FALSE(nowhere.Write("chkMakeBackUp", "0"));
    EXPECT_EQ(nowhere.Read("chkMakeBackUp", 1L), "1");
}

TEST_F(SettingsFileTest, LeftoverTemporaryFileFromACrashIsReplaced) {
    ASSERT_TRUE(store_.Write("chkMakeBackUp", "0"));
    const fs::path temporary = Folder() / ("settings.ini." + std::to_string(ThisProcessId()) + ".tmp");
    WriteFileBytes(temporary, "[Settings]\nchkMakeBack");  // half a file
    ASSERT_TRUE(store_.Write("chkPlaySound", "1"));
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_EQ(store_.Read("chkMakeBackUp", 1L), "0");
    EXPECT_EQ(store_.Read("chkPlaySound", 0L), "1");
}

// Sets or removes an environment variable for one test, then puts it back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        Set(value);
    }
    ~ScopedEnvironment() { Set(old_ ? old_->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Set(const char* value) {
#ifdef _WIN32
        (void)_putenv_s(name_.c_str(), value ? value : "");
#else
        if (value) setenv(name_.c_str(), value, 1);
        else unsetenv(name_.c_str());
#endif
    }
    std::string name_;
    std::optional<std::string> old_;
};

TEST(SettingsFileDefaultBaseTest, FollowsTheConfigurationFolderConvention) {
#ifdef _WIN32
    const char* absolute = "C:\\Config";
    const std::string homeConfig = "C:\\Home\\.config";
    const char* home = "C:\\Home";
#else
    const char* absolute = "/config";
    const std::string homeConfig = "/home/user/.config";
    const char* home = "/home/user";
#endif
    struct Case {
        const char* xdg;
        const char* home;
        std::string base;
    };
    const Case cases[] = {
        {absolute, home, absolute},
        {"relative/path", home, homeConfig},  // a relative setting is ignored
        {"", home, homeConfig},
        {nullptr, home, homeConfig},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "XDG_CONFIG_HOME=" << (c.xdg ? c.xdg : "(unset)")
                                        << " HOME=" << (c.home ? c.home : "(unset)"));
        ScopedEnvironment xdg("XDG_CONFIG_HOME", c.xdg);
        ScopedEnvironment homeVariable("HOME", c.home);
        EXPECT_EQ(FileSettingsStore::DefaultConfigBase(), c.base);
    }
}

} // namespace
} // namespace hs

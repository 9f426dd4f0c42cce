// What the stand-in registry does beyond the shared contract: the Windows
// classes view that Wine does not reproduce, key deletion, handle counting.
#include "platform/registry_memory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/reg_text.h"
#include "platform/roots.h"

namespace hs {
namespace {

class MemoryRegistryTest : public ::testing::Test {
protected:
    ~MemoryRegistryTest() override { EXPECT_EQ(0u, reg_.OpenHandleCount()); }

    void Put(RegKey root, const std::string& path, const char* name, const std::string& text) {
        RegKey key = 0;
        ASSERT_EQ(kErrorSuccess, reg_.CreateKeyEx(root, path.c_str(), kKeyAllAccess, &key, nullptr));
        ASSERT_EQ(kErrorSuccess, reg_.SetValueEx(key, name, kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                                 static_cast<std::uint32_t>(text.size() + 1)));
        ASSERT_EQ(kErrorSuccess, reg_.CloseKey(key));
    }
    std::string Get(RegKey root, const std::string& path, const char* name) {
        RegKey key = 0;
        if (reg_.OpenKey(root, path.c_str(), &key) != kErrorSuccess) return "<no key>";
        char data[64] = {};
        std::uint32_t size = sizeof data - 1;
        RegStatus status = reg_.QueryValueEx(key, name, nullptr, reinterpret_cast<std::uint8_t*>(data), &size);
        EXPECT_EQ(kErrorSuccess, reg_.CloseKey(key));
        return status == kErrorSuccess ? std::string(data) : "<no value>";
    }
    std::vector<std::string> Subkeys(RegKey root, const char* path) {
        RegKey key = 0;
        std::vector<std::string> names;
        if (reg_.OpenKey(root, path, &key) != kErrorSuccess) return names;
        char name[256];
        for (std::uint32_t i = 0;; ++i) {
            std::uint32_t length = sizeof name;
            if (reg_.EnumKeyEx(key, i, name, &length, nullptr, nullptr) != kErrorSuccess) break;
            names.emplace_back(name, length);
        }
        EXPECT_EQ(kErrorSuccess, reg_.CloseKey(key));
        return names;
    }

    MemoryRegistry reg_;
};

TEST_F(MemoryRegistryTest, ClassesRootMergesTheUsersClassesOverTheMachines) {
    Put(kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID\\{A}", "", "machine A");
    Put(kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID\\{B}", "", "machine B");
    Put(kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID\\{B}", "only", "machine only");
    Put(kHkeyCurrentUser, "Software\\Classes\\CLSID\\{B}", "", "user B");
    Put(kHkeyCurrentUser, "Software\\Classes\\CLSID\\{C}", "", "user C");

    EXPECT_EQ((std::vector<std::string>{"{A}", "{B}", "{C}"}), Subkeys(kHkeyClassesRoot, "CLSID"));
    EXPECT_EQ("machine A", Get(kHkeyClassesRoot, "CLSID\\{A}", ""));
    EXPECT_EQ("user B", Get(kHkeyClassesRoot, "CLSID\\{B}", ""));
    EXPECT_EQ("machine only", Get(kHkeyClassesRoot, "CLSID\\{B}", "only"));
    EXPECT_EQ("user C", Get(kHkeyClassesRoot, "clsid\\{c}", ""));

    // Writes go to the user's key where it exists, else to the machine's.
    Put(kHkeyClassesRoot, "CLSID\\{B}", "", "written B");
    Put(kHkeyClassesRoot, "CLSID\\{A}", "", "written A");
    EXPECT_EQ("written B", Get(kHkeyCurrentUser, "Software\\Classes\\CLSID\\{B}", ""));
    EXPECT_EQ("machine B", Get(kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID\\{B}", ""));
    EXPECT_EQ("written A", Get(kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID\\{A}", ""));

    // New keys go where their deepest existing parent lives only on one side.
    Put(kHkeyClassesRoot, "CLSID\\{C}\\InprocServer32", "", "new below user");
    Put(kHkeyClassesRoot, "CLSID\\{D}", "", "new");
    EXPECT_EQ("new below user", Get(kHkeyCurrentUser, "Software\\Classes\\CLSID\\{C}\\InprocServer32", ""));
    EXPECT_EQ("new", Get(kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID\\{D}", ""));

    // Deletes through the view take the user's value first.
    RegKey key = 0;
    ASSERT_EQ(kErrorSuccess, reg_.OpenKey(kHkeyClassesRoot, "CLSID\\{B}", &key));
    EXPECT_EQ(kErrorSuccess, reg_.DeleteValue(key, ""));
    EXPECT_EQ(kErrorSuccess, reg_.CloseKey(key));
    EXPECT_EQ("machine B", Get(kHkeyClassesRoot, "CLSID\\{B}", ""));
}

TEST_F(MemoryRegistryTest, MergedEnumerationSeesChangesMadeWhileOpen) {
    Put(kHkeyLocalMachine, "SOFTWARE\\Classes\\k\\one", "", "1");
    RegKey key = 0;
    ASSERT_EQ(kErrorSuccess, reg_.OpenKey(kHkeyClassesRoot, "k", &key));
    char name[16];
    std::uint32_t length = sizeof name;
    ASSERT_EQ(kErrorSuccess, reg_.EnumKeyEx(key, 0, name, &length, nullptr, nullptr));
    Put(kHkeyCurrentUser, "Software\\Classes\\k\\two", "", "2");
    length = sizeof name;
    ASSERT_EQ(kErrorSuccess, reg_.EnumKeyEx(key, 1, name, &length, nullptr, nullptr));
    EXPECT_STREQ("two", name);
    EXPECT_EQ(kErrorSuccess, reg_.CloseKey(key));
}

TEST_F(MemoryRegistryTest, HandlesOfADeletedKeyAnswerKeyDeleted) {
    Put(kHkeyLocalMachine, "SOFTWARE\\Gone\\Child", "v", "x");
    RegKey child = 0;
    ASSERT_EQ(kErrorSuccess, reg_.OpenKey(kHkeyLocalMachine, "SOFTWARE\\Gone\\Child", &child));
    ASSERT_EQ(1u, reg_.OpenHandleCount());
    ASSERT_EQ(kErrorSuccess, reg_.DeleteTree(kHkeyLocalMachine, "SOFTWARE\\Gone"));
    std::uint32_t size = 0;
    EXPECT_EQ(kErrorKeyDeleted, reg_.QueryValueEx(child, "v", nullptr, nullptr, &size));
    EXPECT_EQ(kErrorSuccess, reg_.CloseKey(child));
    EXPECT_EQ(kErrorFileNotFound, reg_.DeleteTree(kHkeyLocalMachine, "SOFTWARE\\Gone"));
    EXPECT_EQ(kErrorInvalidHandle, reg_.CloseKey(child));
}

TEST_F(MemoryRegistryTest, TheMachinesClassesKeyAlwaysExists) {
    Put(kHkeyLocalMachine, "SOFTWARE\\Classes\\.txt", "", "txtfile");
    Put(kHkeyLocalMachine, "SOFTWARE\\Vendor", "", "x");
    ASSERT_EQ(kErrorSuccess, reg_.DeleteTree(kHkeyLocalMachine, "SOFTWARE"));
    EXPECT_EQ((std::vector<std::string>{"SOFTWARE"}), Subkeys(kHkeyLocalMachine, ""));
    EXPECT_EQ((std::vector<std::string>{"Classes"}), Subkeys(kHkeyLocalMachine, "SOFTWARE"));
    EXPECT_TRUE(Subkeys(kHkeyClassesRoot, "").empty());
    ASSERT_EQ(kErrorSuccess, reg_.DeleteTree(kHkeyLocalMachine, nullptr));
    EXPECT_EQ((std::vector<std::string>{"Classes"}), Subkeys(kHkeyLocalMachine, "SOFTWARE"));
}

TEST_F(MemoryRegistryTest, RootsAndHandleEdges) {
    RegKey key = 0;
    // Only the low 32 bits of a root handle count, as on Windows.
    RegKey zeroExtended = static_cast<RegKey>(static_cast<std::uint32_t>(kHkeyLocalMachine));
    EXPECT_EQ(kErrorSuccess, reg_.OpenKey(zeroExtended, "SOFTWARE", &key));
    EXPECT_EQ(kErrorSuccess, reg_.CloseKey(key));
    EXPECT_EQ(kErrorInvalidHandle, reg_.OpenKey(kHkeyDynData, "x", &key));
    EXPECT_EQ(kErrorInvalidHandle, reg_.OpenKey(0x7777, "x", &key));
    EXPECT_EQ(kErrorSuccess, reg_.CloseKey(kHkeyLocalMachine));
    // Names longer than 255 characters cannot be created.
    EXPECT_EQ(kErrorInvalidParameter, reg_.CreateKeyEx(kHkeyCurrentUser, std::string(256, 'x').c_str(), kKeyAllAccess,
                                                       &key, nullptr));
    EXPECT_EQ(2, reg_.GetPlatformId());
}

TEST(RegTextTest, FoldsAsciiAndLatin1) {
    EXPECT_EQ("ABC_Z~", FoldUpper("abc_z~"));
    EXPECT_EQ("\xC3\x89T\xC3\x89", FoldUpper("\xC3\xA9t\xC3\xA9"));  // été
    EXPECT_EQ("\xC3\xB7", FoldUpper("\xC3\xB7"));                    // the division sign has no case
    EXPECT_TRUE(SameRegistryName("Software", "SOFTWARE"));
    EXPECT_FALSE(SameRegistryName("Software", "Softwar"));
}

} // namespace
} // namespace hs

// The file-system contract for the calls that change names and folders
// (rename with replace, folder creation and removal), which the backup
// writer and the restore use. Same environments as the main contract.
#pragma once

#include "tests/contract/file_system_contract.h"

namespace hs::contract {

template <typename Env>
class FileSystemFolderContract : public FileSystemContract<Env> {
protected:
    std::uint32_t Attributes(const std::string& relative) {
        return this->fs_->GetFileAttributes(this->At(relative), nullptr);
    }
};

TYPED_TEST_SUITE_P(FileSystemFolderContract);

TYPED_TEST_P(FileSystemFolderContract, CreateAndRemoveFolders) {
    auto& fs = *this->fs_;
    std::uint32_t error = 0;
    ASSERT_TRUE(fs.CreateFolder(this->At("New"), &error)) << error;
    EXPECT_EQ(kAttrDirectory, this->Attributes("new"));
    this->env_->MakeFile("file", "x");

    const struct {
        const char* relative;
        std::uint32_t error;
    } refusedCreates[] = {
        {"NEW", kFsAlreadyExists},
        {"file", kFsAlreadyExists},
        {"missing\\deeper", kFsPathNotFound},
    };
    for (const auto& c : refusedCreates) {
        SCOPED_TRACE(c.relative);
        error = 0;
        EXPECT_FALSE(fs.CreateFolder(this->At(c.relative), &error));
        EXPECT_EQ(c.error, error);
    }

    this->env_->MakeFile("New\\inside", "y");
    const struct {
        const char* relative;
        std::uint32_t error;
    } refusedRemoves[] = {
        {"new", kFsDirNotEmpty},
        {"file", kFsDirectoryName},
        {"gone", kFsFileNotFound},
    };
    for (const auto& c : refusedRemoves) {
        SCOPED_TRACE(c.relative);
        error = 0;
        EXPECT_FALSE(fs.RemoveFolder(this->At(c.relative), &error));
        EXPECT_EQ(c.error, error);
    }
    EXPECT_EQ(std::optional<std::string>("y"), this->env_->Read("New\\inside"));

    ASSERT_TRUE(fs.DeleteFile(this->At("New\\inside"), &error)) << error;
    ASSERT_TRUE(fs.RemoveFolder(this->At("NEW"), &error)) << error;
    EXPECT_EQ(kInvalidFileAttributes, this->Attributes("New"));
}

TYPED_TEST_P(FileSystemFolderContract, MoveFileReplacesTheTarget) {
    auto& fs = *this->fs_;
    this->env_->MakeFile("a.tmp", "new text");
    this->env_->MakeFile("a", "old text");
    this->env_->MakeFolder("Sub");
    std::uint32_t error = 0;
    ASSERT_TRUE(fs.MoveFileReplacing(this->At("a.tmp"), this->At("A"), &error)) << error;
    EXPECT_EQ(std::optional<std::string>("new text"), this->env_->Read("a"));
    EXPECT_EQ(kInvalidFileAttributes, this->Attributes("a.tmp"));
    // To a name that does not exist yet, in another folder.
    ASSERT_TRUE(fs.MoveFileReplacing(this->At("a"), this->At("sub\\b"), &error)) << error;
    EXPECT_EQ(std::optional<std::string>("new text"), this->env_->Read("Sub\\b"));
    EXPECT_EQ(kInvalidFileAttributes, this->Attributes("a"));

    this->env_->MakeFile("c", "c");
    this->env_->MakeFolder("Sub\\Folder");
    const struct {
        const char* from;
        const char* to;
        std::uint32_t error;
    } refused[] = {
        {"missing", "d", kFsFileNotFound},
        {"c", "nowhere\\d", kFsPathNotFound},
        {"c", "Sub\\Folder", kFsAccessDenied},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        error = 0;
        EXPECT_FALSE(fs.MoveFileReplacing(this->At(c.from), this->At(c.to), &error));
        EXPECT_EQ(c.error, error);
    }
    EXPECT_EQ(std::optional<std::string>("c"), this->env_->Read("c"));
    EXPECT_EQ(kAttrDirectory, this->Attributes("Sub\\Folder"));

    // Windows refuses to replace a read-only file; Wine replaces it, and so
    // do the stand-ins.
    this->env_->MakeFile("locked", "kept");
    if (this->env_->SetAttributes("locked", kAttrReadOnly)) {
        error = 0;
        const bool moved = fs.MoveFileReplacing(this->At("c"), this->At("locked"), &error);
        EXPECT_EQ(!this->OnWindows(), moved);
        EXPECT_EQ(this->OnWindows() ? kFsAccessDenied : 0u, error);
        EXPECT_EQ(std::optional<std::string>(this->OnWindows() ? "kept" : "c"), this->env_->Read("locked"));
        if (this->OnWindows()) {
            EXPECT_TRUE(this->env_->SetAttributes("locked", 0));
        }
    }
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemFolderContract, CreateAndRemoveFolders, MoveFileReplacesTheTarget);

} // namespace hs::contract

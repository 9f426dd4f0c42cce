// The file-system port over the real kernel32 calls (Windows builds only).
#pragma once

// <windows.h> maps FindFirstFile, GetFileAttributes, CopyFile and others to
// their A or W functions by macros, which would rename the port's methods in
// any file that includes it. Include <windows.h> first; this undoes them.
#ifdef FindFirstFile
#undef FindFirstFile
#endif
#ifdef FindNextFile
#undef FindNextFile
#endif
#ifdef GetFileAttributes
#undef GetFileAttributes
#endif
#ifdef GetVolumeInformation
#undef GetVolumeInformation
#endif
#ifdef GetShortPathName
#undef GetShortPathName
#endif
#ifdef CopyFile
#undef CopyFile
#endif
#ifdef DeleteFile
#undef DeleteFile
#endif

#include "platform/file_system.h"

namespace hs {

// Passes each call to one or two kernel32 A functions. Search handles cross
// the port as the HANDLE's value. Drives are GetLogicalDrives' letters with
// GetDriveTypeA's type in the port's numbering; a drive is ready when
// GetVolumeInformationA of its root succeeds (asked with critical-error
// boxes off, so an empty floppy or CD drive raises no dialog).
class Win32FileSystem final : public FileSystem {
public:
    FindHandle FindFirstFile(const std::string& pattern, FindData& data, std::uint32_t* error) override;
    bool FindNextFile(FindHandle search, FindData& data, std::uint32_t* error) override;
    bool FindClose(FindHandle search) override;
    std::uint32_t GetFileAttributes(const std::string& path, std::uint32_t* error) override;
    // The label buffer is capped at MAX_PATH + 1 characters.
    bool GetVolumeInformation(const std::string& root, std::uint32_t labelBufferSize, VolumeInfo& info,
                              std::uint32_t* error) override;
    std::string GetShortPathName(const std::string& path, std::uint32_t* error) override;
    bool CopyFile(const std::string& from, const std::string& to, std::uint32_t* error) override;
    bool DeleteFile(const std::string& path, std::uint32_t* error) override;
    bool MoveFileReplacing(const std::string& from, const std::string& to, std::uint32_t* error) override;
    bool CreateFolder(const std::string& path, std::uint32_t* error) override;
    bool RemoveFolder(const std::string& path, std::uint32_t* error) override;
    bool WriteNewFile(const std::string& path, const std::string& bytes, std::uint32_t* error) override;
    bool AppendToFile(const std::string& path, const std::string& bytes, std::uint32_t* error) override;
    bool ReadLines(const std::string& path, std::vector<std::string>& lines, std::uint32_t* error) override;
    bool ReadFileBytes(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                       std::uint32_t* error) override;
    std::vector<DriveInfo> Drives() override;
    // GetSystemDirectoryA and GetWindowsDirectoryA with a 256-character
    // buffer: empty when the call fails or the answer does not fit.
    std::string SystemFolder() override;
    std::string WindowsFolder() override;
    std::string TempFolder() override;
    std::string ProgramFolder() override;
};

// GetDriveTypeA's answer in the port's numbering; -1 for DRIVE_NO_ROOT_DIR
// (no such drive) and for values it does not know.
int DriveTypeFromWin32(unsigned driveType);

} // namespace hs

// The file-system port over kernel32: each method one or two A calls.
#include <windows.h>

#include "platform/file_system_win32.h"

#include <algorithm>

#include "platform/windows_rules.h"  // SplitCrLines

namespace hs {

namespace {

void SetError(std::uint32_t* error, std::uint32_t code) {
    if (error != nullptr) *error = code;
}

bool Fail(std::uint32_t* error) {
    SetError(error, GetLastError());
    return false;
}

FindData FromFindData(const WIN32_FIND_DATAA& found) {
    FindData data;
    data.attributes = found.dwFileAttributes;
    data.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    data.name = found.cFileName;
    data.alternateName = found.cAlternateFileName;
    return data;
}

HANDLE ToHandle(FindHandle search) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(search)); }

// Writes all bytes to an open file and flushes them to the disk.
bool WriteAndFlush(HANDLE file, const std::string& bytes, std::uint32_t* error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return Fail(error);
        done += written;
    }
    if (!FlushFileBuffers(file)) return Fail(error);
    return true;
}

bool WriteFileWith(const std::string& path, DWORD access, DWORD disposition, const std::string& bytes,
                   std::uint32_t* error) {
    HANDLE file =
        CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(error);
    const bool written = WriteAndFlush(file, bytes, error);
    if (!CloseHandle(file) && written) return Fail(error);
    return written;
}

// A folder answer of n characters in buffer, or empty when the call failed
// (0) or the answer did not fit (n is then the size it needs).
std::string FittingAnswer(const char* buffer, DWORD n, DWORD size) {
    return n == 0 || n >= size ? std::string() : std::string(buffer, n);
}

} // namespace

int DriveTypeFromWin32(unsigned driveType) {
    switch (driveType) {
    case DRIVE_UNKNOWN:
        return kDriveUnknown;
    case DRIVE_REMOVABLE:
        return kDriveRemovable;
    case DRIVE_FIXED:
        return kDriveFixed;
    case DRIVE_REMOTE:
        return kDriveNetwork;
    case DRIVE_CDROM:
        return kDriveCdRom;
    case DRIVE_RAMDISK:
        return kDriveRamDisk;
    default:
        return -1;
    }
}

FindHandle Win32FileSystem::FindFirstFile(const std::string& pattern, FindData& data, std::uint32_t* error) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        SetError(error, GetLastError());
        return kInvalidFindHandle;
    }
    data = FromFindData(found);
    return static_cast<FindHandle>(reinterpret_cast<intptr_t>(search));
}

bool Win32FileSystem::FindNextFile(FindHandle search, FindData& data, std::uint32_t* error) {
    WIN32_FIND_DATAA found{};
    if (!FindNextFileA(ToHandle(search), &found)) return Fail(error);
    data = FromFindData(found);
    return true;
}

bool Win32FileSystem::FindClose(FindHandle search) { return ::FindClose(ToHandle(search)) != FALSE; }

std::uint32_t Win32FileSystem::GetFileAttributes(const std::string& path, std::uint32_t* error) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) SetError(error, GetLastError());
    return attributes;
}

bool Win32FileSystem::GetVolumeInformation(const std::string& root, std::uint32_t labelBufferSize, VolumeInfo& info,
                                           std::uint32_t* error) {
    char label[MAX_PATH + 1] = {};
    char fileSystem[MAX_PATH + 1] = {};
    const DWORD labelSize = labelBufferSize > MAX_PATH + 1 ? MAX_PATH + 1 : labelBufferSize;
    DWORD serial = 0, maxComponent = 0, flags = 0;
    if (!GetVolumeInformationA(root.c_str(), labelSize != 0 ? label : nullptr, labelSize, &serial, &maxComponent,
                               &flags, fileSystem, sizeof fileSystem))
        return Fail(error);
    info.label = label;
    info.serialNumber = serial;
    info.maxComponentLength = maxComponent;
    info.flags = flags;
    info.fileSystem = fileSystem;
    return true;
}

std::string Win32FileSystem::GetShortPathName(const std::string& path, std::uint32_t* error) {
    std::string buffer(MAX_PATH + 1, '\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD n = GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            SetError(error, GetLastError());
            return "";
        }
        if (n < buffer.size()) return buffer.substr(0, n);
        buffer.assign(n, '\0');  // n is the size needed, NUL included
    }
    SetError(error, ERROR_INSUFFICIENT_BUFFER);
    return "";
}

bool Win32FileSystem::CopyFile(const std::string& from, const std::string& to, std::uint32_t* error) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) || Fail(error);
}

bool Win32FileSystem::DeleteFile(const std::string& path, std::uint32_t* error) {
    return DeleteFileA(path.c_str()) || Fail(error);
}

bool Win32FileSystem::MoveFileReplacing(const std::string& from, const std::string& to, std::uint32_t* error) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) || Fail(error);
}

bool Win32FileSystem::CreateFolder(const std::string& path, std::uint32_t* error) {
    return CreateDirectoryA(path.c_str(), nullptr) || Fail(error);
}

bool Win32FileSystem::RemoveFolder(const std::string& path, std::uint32_t* error) {
    return RemoveDirectoryA(path.c_str()) || Fail(error);
}

bool Win32FileSystem::WriteNewFile(const std::string& path, const std::string& bytes, std::uint32_t* error) {
    return WriteFileWith(path, GENERIC_WRITE, CREATE_ALWAYS, bytes, error);
}

bool Win32FileSystem::AppendToFile(const std::string& path, const std::string& bytes, std::uint32_t* error) {
    // FILE_APPEND_DATA alone makes every write land at the end.
    return WriteFileWith(path, FILE_APPEND_DATA, OPEN_ALWAYS, bytes, error);
}

bool Win32FileSystem::ReadLines(const std::string& path, std::vector<std::string>& lines, std::uint32_t* error) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(error);
    std::string text;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            ok = Fail(error);
            break;
        }
        if (read == 0) break;
        text.append(buffer, read);
    }
    CloseHandle(file);
    if (ok) lines = SplitCrLines(text);
    return ok;
}

bool Win32FileSystem::ReadFileBytes(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                                    std::uint32_t* error) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(error);
    // A device ("nul", "con.txt") or a pipe is no file to read.
    LARGE_INTEGER size{};
    std::uint32_t code = 0;
    if (GetFileType(file) != FILE_TYPE_DISK)
        code = ERROR_ACCESS_DENIED;
    else if (!GetFileSizeEx(file, &size))
        code = GetLastError();
    else if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
        code = ERROR_FILE_TOO_LARGE;
    std::string text;
    char buffer[65536];
    while (code == 0) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            code = GetLastError();
            break;
        }
        if (read == 0) break;
        text.append(buffer, read);
        if (text.size() > maxBytes) code = ERROR_FILE_TOO_LARGE;  // it grew while being read
    }
    CloseHandle(file);
    if (code != 0) {
        SetError(error, code);
        return false;
    }
    bytes = std::move(text);
    return true;
}

std::vector<DriveInfo> Win32FileSystem::Drives() {
    std::vector<DriveInfo> drives;
    const DWORD letters = GetLogicalDrives();
    // No "insert a disk" box for an empty floppy or CD drive.
    DWORD oldMode = 0;
    const BOOL quiet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    for (int i = 0; i < 26; ++i) {
        if ((letters & (1u << i)) == 0) continue;
        const char letter = static_cast<char>('A' + i);
        const char root[] = {letter, ':', '\\', '\0'};
        const int type = DriveTypeFromWin32(GetDriveTypeA(root));
        if (type < 0) continue;
        const bool ready = GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0) != FALSE;
        drives.push_back({letter, type, ready});
    }
    if (quiet) SetThreadErrorMode(oldMode, nullptr);
    return drives;
}

std::string Win32FileSystem::SystemFolder() {
    char buffer[256];
    return FittingAnswer(buffer, GetSystemDirectoryA(buffer, sizeof buffer), sizeof buffer);
}

std::string Win32FileSystem::WindowsFolder() {
    char buffer[256];
    return FittingAnswer(buffer, GetWindowsDirectoryA(buffer, sizeof buffer), sizeof buffer);
}

std::string Win32FileSystem::TempFolder() {
    char buffer[MAX_PATH + 2];
    return FittingAnswer(buffer, GetTempPathA(sizeof buffer, buffer), sizeof buffer);
}

std::string Win32FileSystem::ProgramFolder() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return "";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return "";
        path.resize(path.size() * 2);  // cut short: ask again with more room
    }
    const std::size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) return "";
    // "C:\program.exe" lives in "C:\", which keeps its backslash.
    return slash == 2 && path[1] == ':' ? path.substr(0, 3) : path.substr(0, slash);
}

} // namespace hs

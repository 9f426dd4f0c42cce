// The portable build's machine: a registry file, host folders as drives,
// settings in a file.
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "cli/machine.h"
#include "platform/file_system_posix.h"
#include "settings/settings_file.h"

namespace hs::cli {

namespace {

// The folder of this program, as a host path.
std::string ProgramHostFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}

} // namespace

bool PortableBuild() {
    return true;
}

bool BuildMachine(const GlobalOptions& options, Machine& machine, std::string& error) {
    if (options.registryFile.empty()) {
        error = "this build needs a registry file: give --registry FILE.reg (see --help)";
        return false;
    }
    if (!LoadRegistryFile(options.registryFile, machine, error)) return false;

    std::vector<PosixDrive> drives;
    for (const DriveOption& drive : options.drives) {
        std::error_code failure;
        const std::filesystem::path folder = std::filesystem::absolute(drive.folder, failure);
        if (failure || !std::filesystem::is_directory(folder, failure)) {
            error = "--drive " + std::string(1, drive.letter) + "=" + drive.folder + ": no such folder";
            return false;
        }
        for (const PosixDrive& earlier : drives) {
            if (earlier.letter == drive.letter) {
                error = "--drive " + std::string(1, drive.letter) + ": the drive is given twice";
                return false;
            }
        }
        drives.push_back({drive.letter, folder.string(), drive.type, true, ""});
    }

    std::string windows = options.windowsFolder.empty() ? "C:\\WINDOWS" : options.windowsFolder;
    while (windows.size() > 3 && windows.back() == '\\') windows.pop_back();
    PosixFolders folders;
    folders.windows = windows;
    folders.system = windows + "\\system32";
    folders.temp = windows + "\\Temp\\";
    folders.program = ProgramHostFolder();
    machine.files = std::make_unique<PosixFileSystem>(std::move(drives), folders);

    const std::string base = options.configDir.empty() ? FileSettingsStore::DefaultConfigBase()
                                                       : std::filesystem::absolute(options.configDir).string();
    machine.settings = std::make_unique<FileSettingsStore>(base);
    machine.sound = MakeSilence();
    return true;
}

} // namespace hs::cli

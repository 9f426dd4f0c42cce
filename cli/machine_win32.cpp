// The Windows machine: the real registry and file system, or a registry file
// in memory over the real file system; settings in the registry in use.
#include <windows.h>

// Before any header that declares the ports: it undoes windows.h's
// FindFirstFile/CopyFile/DeleteFile macros.
#include "platform/file_system_win32.h"
#include "platform/registry_win32.h"

#include "cli/machine.h"
#include "settings/settings_registry.h"

namespace hs::cli {

bool PortableBuild() {
    return false;
}

bool BuildMachine(const GlobalOptions& options, Machine& machine, std::string& error) {
    if (!options.drives.empty() || !options.windowsFolder.empty() || !options.configDir.empty()) {
        error = "--drive, --windows-folder and --config-dir belong to the portable build; "
                "on Windows the program works on the machine's own drives";
        return false;
    }
    if (!options.registryFile.empty()) {
        if (!LoadRegistryFile(options.registryFile, machine, error)) return false;
    } else {
        machine.registry = std::make_unique<Win32Registry>();
    }
    machine.files = std::make_unique<Win32FileSystem>();
    machine.settings = std::make_unique<RegistrySettingsStore>(*machine.registry);
    machine.sound = MakeSilence();
    return true;
}

} // namespace hs::cli

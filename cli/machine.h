// The machine a command works on: the real one on Windows, or stand-ins made
// from the global options (a .reg file, host folders as drives).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/reg_file.h"
#include "platform/registry.h"
#include "platform/sound.h"
#include "settings/settings_store.h"

namespace hs::cli {

struct DriveOption {
    char letter = 'C';
    std::string folder;
    int type = kDriveFixed;
};

struct GlobalOptions {
    std::string registryFile;               // --registry
    std::vector<DriveOption> drives;        // --drive (portable build)
    std::string windowsFolder;              // --windows-folder (portable build)
    std::string configDir;                  // --config-dir (portable build)
};

struct Machine {
    std::unique_ptr<Registry> registry;
    std::unique_ptr<FileSystem> files;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<Sound> sound;

    // The .reg file the registry came from, written back when a command
    // changed the registry.
    std::string registryFile;
    RegFileFormat registryFormat = RegFileFormat::Regedit4;
    std::string registryAtLoad;
};

// "L=DIR[:TYPE]" as a drive; false and a message when it does not parse.
bool ParseDriveOption(const std::string& text, DriveOption& drive, std::string& error);

// The command line plays no sounds.
std::unique_ptr<Sound> MakeSilence();

// True when this build accepts the stand-in file-system options.
bool PortableBuild();

// Builds the machine; false and a message naming what is wrong (the line of
// a .reg file, a missing folder) when it cannot.
bool BuildMachine(const GlobalOptions& options, Machine& machine, std::string& error);

// Loads the registry file into a fresh in-memory registry.
bool LoadRegistryFile(const std::string& path, Machine& machine, std::string& error);

// Writes the registry back to its file when a command changed it; the file is
// replaced in one step. False and a message when that failed.
bool SaveRegistryFile(Machine& machine, std::string& error);

} // namespace hs::cli

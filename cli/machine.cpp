// The parts of the machine set-up every build shares.
#include "cli/machine.h"

#include <cctype>

#include "platform/host_files.h"
#include "platform/registry_memory.h"

namespace hs::cli {

namespace {

struct DriveTypeName {
    const char* name;
    int type;
};

constexpr DriveTypeName kDriveTypeNames[] = {
    {"fixed", kDriveFixed},     {"removable", kDriveRemovable}, {"network", kDriveNetwork},
    {"cdrom", kDriveCdRom},     {"ramdisk", kDriveRamDisk},
};

class Silence final : public Sound {
public:
    bool PlayAsync(const std::string&) override { return false; }
};

} // namespace

std::unique_ptr<Sound> MakeSilence() {
    return std::make_unique<Silence>();
}

bool ParseDriveOption(const std::string& text, DriveOption& drive, std::string& error) {
    if (text.size() < 3 || text[1] != '=' || !std::isalpha(static_cast<unsigned char>(text[0]))) {
        error = "--drive " + text + ": expected L=DIR[:TYPE], for example C=/srv/c or E=/media/stick:removable";
        return false;
    }
    drive.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    drive.folder = text.substr(2);
    drive.type = kDriveFixed;
    const std::size_t colon = drive.folder.rfind(':');
    if (colon != std::string::npos) {
        const std::string typeName = drive.folder.substr(colon + 1);
        bool known = false;
        for (const DriveTypeName& entry : kDriveTypeNames) {
            if (typeName == entry.name) {
                drive.type = entry.type;
                known = true;
            }
        }
        if (!known) {
            error = "--drive " + text + ": unknown drive type \"" + typeName +
                    "\" (fixed, removable, network, cdrom or ramdisk)";
            return false;
        }
        drive.folder.erase(colon);
    }
    if (drive.folder.empty()) {
        error = "--drive " + text + ": the folder is missing";
        return false;
    }
    return true;
}

bool LoadRegistryFile(const std::string& path, Machine& machine, std::string& error) {
    std::string text;
    if (ReadWholeFile(path, text) != ReadOutcome::kRead) {
        error = path + ": cannot read the registry file";
        return false;
    }
    auto registry = std::make_unique<MemoryRegistry>();
    if (const auto failure = ImportRegFile(*registry, text)) {
        error = path + ":" + std::to_string(failure->line) + ": " + failure->message;
        return false;
    }
    machine.registryFormat =
        text.rfind("REGEDIT4", 0) == 0 ? RegFileFormat::Regedit4 : RegFileFormat::Version5;
    machine.registryAtLoad = ExportRegFile(*registry, machine.registryFormat);
    machine.registryFile = path;
    machine.registry = std::move(registry);
    return true;
}

bool SaveRegistryFile(Machine& machine, std::string& error) {
    if (machine.registryFile.empty()) return true;
    const std::string now = ExportRegFile(*machine.registry, machine.registryFormat);
    if (now == machine.registryAtLoad) return true;
    if (!ReplaceFileContents(machine.registryFile, now)) {
        error = machine.registryFile + ": cannot write the changed registry back";
        return false;
    }
    machine.registryAtLoad = now;
    return true;
}

} // namespace hs::cli

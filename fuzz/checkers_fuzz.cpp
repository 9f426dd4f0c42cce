// libFuzzer target: arbitrary value names and data through the walker's dispatch to every section checker.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "checkers/checkers.h"
#include "checkers/paths.h"
#include "platform/file_system_memory.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "scan/catalogue.h"
#include "scan/walker.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "checkers_fuzz: %s\n", what);
    std::abort();
}

class QuietHost : public hs::Host {
public:
    void Yield() override { ++yields; }
    std::string AskMessageBox(const std::string&) override { return "NO"; }
    long yields = 0;
};

class QuietSound : public hs::Sound {
public:
    bool PlayAsync(const std::string&) override { return true; }
};

// The sound option is on, so that every recorded problem also looks for the wave file.
class FixedSettings : public hs::SettingsStore {
public:
    bool Write(std::string_view, std::string_view) override { return true; }

protected:
    std::optional<std::string> Get(std::string_view key) const override {
        if (key == "chkPlaySound") return "1";
        if (key == "txtWaveFilesPath") return R"(C:\WINDOWS\Media\ding.wav)";
        return std::nullopt;
    }
};

// A small machine: a fixed C: with the usual folders and a few files of every
// kind, a CD-ROM drive without a medium, a network drive, a locked folder, and
// the Program Files and Common Files values of the registry.
struct Machine {
    Machine() : context(registry, settings, host, sound, files) {
        files.AddDrive('C', hs::kDriveFixed);
        files.AddDrive('D', hs::kDriveCdRom, false);
        files.AddDrive('N', hs::kDriveNetwork);
        files.SetFolders(R"(C:\WINDOWS\system32)", R"(C:\WINDOWS)", R"(C:\WINDOWS\TEMP)", R"(C:\Program Files\Hivesweep)");
        for (const char* path : {R"(C:\WINDOWS\system32\MsiExec.exe)", R"(C:\WINDOWS\system32\rundll32.exe)",
                                 R"(C:\WINDOWS\system32\shell32.dll)", R"(C:\WINDOWS\Fonts\arial.ttf)",
                                 R"(C:\WINDOWS\Help\app.hlp)", R"(C:\WINDOWS\Media\ding.wav)",
                                 R"(C:\Program Files\Foo\app.exe)", R"(C:\Program Files\Common Files\Foo\a.dll)",
                                 R"(N:\share\x.exe)"}) {
            files.AddFile(path);
        }
        files.AddFile(R"(C:\WINDOWS\system32\hidden.sys)", "", hs::kAttrHidden | hs::kAttrSystem);
        files.AddFile(R"(C:\WINDOWS\system32\readonly.dll)", "", hs::kAttrReadOnly);
        files.AddFolder(R"(C:\Program Files\My.App\folder.exe)");
        files.SetUnreadable(R"(C:\Locked)");
        Put(R"(SOFTWARE\Microsoft\Windows\CurrentVersion)", "ProgramFilesDir", R"(C:\Program Files)");
        Put(R"(SOFTWARE\Microsoft\Windows\CurrentVersion)", "CommonFilesDir", R"(C:\Program Files\Common Files)");
        hs::InstallCheckers(context.checkers);
    }

    void Put(const char* keyPath, const char* name, const std::string& text) {
        hs::RegKey key = 0;
        Check(registry.CreateKeyEx(hs::kHkeyLocalMachine, keyPath, hs::kKeyAllAccess, &key, nullptr) == hs::kErrorSuccess,
              "set-up key");
        Check(registry.SetValueEx(key, name, hs::kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                  static_cast<std::uint32_t>(text.size() + 1)) == hs::kErrorSuccess,
              "set-up value");
        Check(registry.CloseKey(key) == hs::kErrorSuccess, "set-up close");
    }

    hs::MemoryRegistry registry;
    FixedSettings settings;
    QuietHost host;
    QuietSound sound;
    hs::MemoryFileSystem files;
    hs::ScanContext context;
};

constexpr std::string_view kSections[] = {
    hs::kSectionCom,     hs::kSectionComSubsections, hs::kSectionAppPaths, hs::kSectionHelpFiles,
    hs::kSectionShared,  hs::kSectionStartup,        hs::kSectionUninstall, hs::kSectionVxd,
    hs::kSectionFonts,
};

// Value names that steer the uninstall and help checkers; other names come from the input.
constexpr const char* kNames[] = {"UninstallString", "UninstallPath", "QuietUninstallString", "InstallSource",
                                  "ModifyPath", "DisplayIcon", "", "app.hlp"};

} // namespace

// Input: a section byte, a name byte (a known name, or the name is read from
// the input up to its first NUL), a flag byte, then the value data.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Machine machine;
    if (size < 3) return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::string section(kSections[data[0] % std::size(kSections)]);
    std::string valueName;
    if (data[1] < 2 * std::size(kNames)) {
        valueName = kNames[data[1] % std::size(kNames)];
    } else {
        const std::size_t end = rest.find('\0');
        valueName = std::string(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    const std::string dataText(rest);

    hs::ScanContext& context = machine.context;
    context.lvwErrors.Clear();
    if (data[2] & 1) {
        context.StartLookupCache();
    } else {
        context.DropLookupCache();
    }
    hs::DispatchValue(context, dataText, section, valueName, hs::kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", "K");

    Check(machine.files.OpenSearchCount() == 0, "a directory search was left open");
    Check(machine.registry.OpenHandleCount() == 0, "a key handle was left open");
    Check(context.lvwErrors.Count() <= 4, "more rows than one value can give");
    for (const hs::ProblemRecord& row : context.lvwErrors.Rows()) {
        Check(row.RegistryScanners == section && row.FullKeyPath == "K" && row.mainkeyname == "HKEY_LOCAL_MACHINE",
              "a row names another entry");
        Check(row.MainKey == "-2147483646", "a row names another root");
        Check(!hs::HoldsPlaceholder(row.KeyValue), "a row holds an unexpanded placeholder");
        Check(row.DefaultOrNot.empty() || row.DefaultOrNot == "Yes", "DefaultOrNot is neither empty nor Yes");
    }
    return 0;
}

// libFuzzer target: arbitrary bytes as shortcut files, through the .lnk and
// .url readers and the whole shortcut check.
//
// Random bytes seldom start with the 76-byte link header, so each input is
// also read behind a sound header whose flags are the input's first four
// bytes: the fuzzer then works on the item list, LinkInfo, the strings and
// the extra data from its first run, without seed files.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system_memory.h"
#include "platform/registry_access.h"
#include "platform/registry_memory.h"
#include "platform/roots.h"
#include "shortcuts/link_format.h"
#include "shortcuts/shortcut_reader.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "shortcut_reader_fuzz: %s\n", what);
    std::abort();
}

class QuietHost : public hs::Host {
public:
    void Yield() override {}
    std::string AskMessageBox(const std::string&) override { return "NO"; }
};

class QuietSound : public hs::Sound {
public:
    bool PlayAsync(const std::string&) override { return true; }
};

class NoSettings : public hs::SettingsStore {
public:
    bool Write(std::string_view, std::string_view) override { return true; }

protected:
    std::optional<std::string> Get(std::string_view) const override { return std::nullopt; }
};

// A fixed C: with a few files, a removable E:, a network N:, and the
// registry's Program Files folders.
struct Machine {
    Machine() : context(registry, settings, host, sound, files) {
        files.AddDrive('C', hs::kDriveFixed);
        files.AddDrive('E', hs::kDriveRemovable);
        files.AddDrive('N', hs::kDriveNetwork);
        files.SetFolders(R"(C:\WINDOWS\system32)", R"(C:\WINDOWS)", R"(C:\WINDOWS\TEMP)",
                         R"(C:\Program Files\Hivesweep)");
        files.AddFile(R"(C:\WINDOWS\notepad.exe)");
        files.AddFile(R"(C:\Program Files\App\app.exe)");
        hs::RegistryAccess access(registry);
        const char* key = R"(SOFTWARE\Microsoft\Windows\CurrentVersion)";
        (void)access.SetValueCreatingKey(hs::kHkeyLocalMachine, key, "ProgramFilesDir", R"(C:\Program Files)",
                                         hs::kRegSz);
        (void)access.SetValueCreatingKey(hs::kHkeyLocalMachine, key, "CommonFilesDir",
                                         R"(C:\Program Files\Common Files)", hs::kRegSz);
        context.StartLookupCache();
    }
    hs::MemoryRegistry registry;
    hs::MemoryFileSystem files;
    QuietHost host;
    QuietSound sound;
    NoSettings settings;
    hs::ScanContext context;
};

std::string WithHeader(std::string_view data) {
    std::string bytes(0x4C, '\0');
    bytes[0] = 0x4C;
    const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    for (int i = 0; i < 16; ++i) bytes[4 + i] = static_cast<char>(clsid[i]);
    for (std::size_t i = 0; i < 4 && i < data.size(); ++i) bytes[0x14 + i] = data[i];
    if (data.size() > 4) bytes.append(data.substr(4));
    return bytes;
}

void ReadLink(std::string_view bytes) {
    const std::optional<hs::ShellLinkFile> link = hs::ParseShellLink(bytes);
    if (!link) return;
    const std::optional<std::string> target = hs::StoredTarget(*link);
    if (target) Check(target->find('\0') == std::string::npos, "a target holds a NUL");
    Check(link->workingDirectory.find('\0') == std::string::npos, "a working directory holds a NUL");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Machine machine;
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const std::string framed = WithHeader(raw);
    ReadLink(raw);
    ReadLink(framed);

    const hs::InternetShortcutFile url = hs::ParseInternetShortcut(raw);
    for (std::string_view text : {std::string_view(url.url), raw}) {
        const std::optional<std::string> path = hs::PathFromUrl(text);
        if (path && !path->empty())
            Check(path->size() >= 3 && (path->substr(0, 2) == R"(\\)" || (*path)[1] == ':'),
                  "a URL path that is not absolute");
    }

    // The whole check, on a file of each kind holding these bytes.
    machine.files.AddFile(R"(C:\Links\fuzz.lnk)", framed);
    machine.files.AddFile(R"(C:\Links\fuzz.url)", std::string(raw));
    machine.context.lvwShortcut.Clear();
    hs::CheckShortcutFile(machine.context, R"(C:\Links\fuzz.lnk)");
    hs::CheckShortcutFile(machine.context, R"(C:\Links\fuzz.url)");
    Check(machine.context.lvwShortcut.Count() <= 2, "more rows than files");
    Check(machine.files.OpenSearchCount() == 0, "a search was left open");
    return 0;
}

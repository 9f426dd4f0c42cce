// The benchmark system's planner and its two writers.
//
// One planner walks the whole system in a fixed order and hands every key,
// value, folder and file to two optional sinks: the registry writer and the
// drive writer. Random choices come from one seeded generator, so both
// halves agree however often and wherever they are written.
#include "tools/bench_system.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string_view>
#include <system_error>

#include "platform/roots.h"
#include "tools/link_writer.h"

namespace hs::bench {
namespace {

namespace stdfs = std::filesystem;

// Raised whenever the planner's output changes, so that registries and
// drives written by an earlier planner are written again.
constexpr int kGeneratorVersion = 2;

// ---------------------------------------------------------------------------
// Randomness

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    std::uint64_t Next() {
        // splitmix64
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(Next() % n); }
    bool Chance(double p) { return static_cast<double>(Next() >> 11) * 0x1.0p-53 < p; }

private:
    std::uint64_t state_;
};

std::string Guid(Rng& rng) {
    char buffer[40];
    const std::uint64_t a = rng.Next(), b = rng.Next();
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFFF),
                  static_cast<unsigned>(b >> 48), static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
    return buffer;
}

constexpr std::string_view kWords[] = {"Harbor", "Quill",  "Lumen",   "Pinwheel", "Tidewater", "Stargaze",
                                       "Vigex",  "Padlink", "Cobalt", "Meridian", "Juniper",   "Ostrich",
                                       "Saffron", "Tundra", "Wicker", "Zephyr",   "Amber",     "Basalt"};
constexpr std::size_t kWordCount = std::size(kWords);

constexpr std::string_view kNodeWords[] = {"Settings", "Options", "Recent", "Profiles", "Cache",   "Plugins",
                                           "Layout",   "Toolbar", "Window", "History",  "Filters", "Devices",
                                           "Policies", "1033",    "Modules", "Features", "State",  "Defaults"};
constexpr std::size_t kNodeWordCount = std::size(kNodeWords);

// Sibling names that never repeat: a word, then a number once the words run out.
std::string NodeName(std::size_t index) {
    std::string name(kNodeWords[index % kNodeWordCount]);
    if (index >= kNodeWordCount) name += std::to_string(index / kNodeWordCount);
    return name;
}

// ---------------------------------------------------------------------------
// Sinks

std::string Sz(std::string_view text) {
    std::string bytes(text);
    bytes += '\0';
    return bytes;
}

std::string Dword(std::uint32_t number) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xFF);
    return bytes;
}

class RegistrySink {
public:
    explicit RegistrySink(Registry& registry) : registry_(registry) {}
    ~RegistrySink() { Close(); }
    RegistrySink(const RegistrySink&) = delete;
    RegistrySink& operator=(const RegistrySink&) = delete;

    void Key(RegKey root, const std::string& path) {
        Close();
        if (registry_.CreateKeyEx(root, path.c_str(), kKeyAllAccess, &open_, nullptr) != kErrorSuccess) {
            open_ = 0;
            ok = false;
        }
    }
    void Value(std::string_view name, std::uint32_t type, const std::string& bytes) {
        if (open_ == 0) return;
        const std::string valueName(name);
        if (registry_.SetValueEx(open_, valueName.c_str(), type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                 static_cast<std::uint32_t>(bytes.size())) != kErrorSuccess) {
            ok = false;
        }
    }
    bool ok = true;

private:
    void Close() {
        if (open_ != 0) static_cast<void>(registry_.CloseKey(open_));
        open_ = 0;
    }
    Registry& registry_;
    RegKey open_ = 0;
};

// Writes Windows paths of the bench drive below a host folder.
class DriveSink {
public:
    explicit DriveSink(stdfs::path root) : root_(std::move(root)) {}

    void Folder(std::string_view windowsPath) {
        if (!error.empty()) return;
        const stdfs::path host = Host(windowsPath);
        if (!made_.insert(host.string()).second) return;
        std::error_code code;
        stdfs::create_directories(host, code);
        if (code) error = "cannot create " + host.string() + ": " + code.message();
    }
    void File(std::string_view windowsPath, const std::string& bytes) {
        if (!error.empty()) return;
        const std::size_t cut = windowsPath.rfind('\\');
        Folder(windowsPath.substr(0, cut));
        const stdfs::path host = Host(windowsPath);
        std::ofstream file(host, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) error = "cannot write " + host.string();
    }
    std::string error;

private:
    stdfs::path Host(std::string_view windowsPath) const {
        stdfs::path host = root_;
        std::string_view rest = windowsPath.size() > 3 ? windowsPath.substr(3) : std::string_view();
        while (!rest.empty()) {
            const std::size_t cut = rest.find('\\');
            host /= std::string(rest.substr(0, cut));
            rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
        }
        return host;
    }
    stdfs::path root_;
    std::set<std::string> made_;
};

// ---------------------------------------------------------------------------
// The planner

constexpr const char* kClasses = "SOFTWARE\\Classes";
constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kProgramFiles = "S:\\Program Files";
constexpr const char* kCommonFiles = "S:\\Program Files\\Common Files";

struct Product {
    std::string vendor;   // "Harborsoft 3"
    std::string name;     // "Harbor Viewer 42"
    std::string stem;     // "hv42"
    std::string folder;   // "S:\Program Files\Harborsoft 3\Harbor Viewer 42"
    std::string File(std::string_view extension) const { return folder + "\\" + stem + "." + std::string(extension); }
};

class Planner {
public:
    Planner(const BenchPlan& plan, RegistrySink* registry, DriveSink* drive)
        : plan_(plan), rng_(plan.seed), registry_(registry), drive_(drive) {}

    BenchSummary Run() {
        SizeSections();
        MakeProducts();
        Skeleton();
        ComClasses();
        OtherClasses();
        AppPaths();
        HelpFiles();
        SharedTools();
        Startup();
        Uninstall();
        VirtualDevices();
        Fonts();
        Fillers();
        DriveTree();
        // The marker last, so that a drive written only in part is written again.
        if (drive_ != nullptr) drive_->File(std::string("S:\\") + kBenchMarkerName, PlanTag(plan_) + "\r\n");
        for (const char* section : kSectionOrder) summary_.plantedBySection.emplace_back(section, planted_[section]);
        return summary_;
    }

private:
    static constexpr const char* kSectionOrder[] = {
        "ActiveX \\ COM",    "ActiveX \\ COM Subsections", "Application Paths", "Help Files", "Microsoft Shared",
        "Windows Startup",   "Uninstall Section",          "VxD Section",       "Windows Fonts"};

    // --- counting writers ---------------------------------------------------

    void Key(RegKey root, const std::string& path) {
        ++summary_.keys;
        if (registry_ != nullptr) registry_->Key(root, path);
    }
    void Value(std::string_view name, std::uint32_t type, const std::string& bytes) {
        ++summary_.values;
        if (registry_ != nullptr) registry_->Value(name, type, bytes);
    }
    void Text(std::string_view name, std::string_view text) { Value(name, kRegSz, Sz(text)); }
    void Number(std::string_view name, std::uint32_t number) { Value(name, kRegDword, Dword(number)); }
    void Folder(const std::string& path) {
        if (!folders_.insert(path).second) return;
        ++summary_.folders;
        if (drive_ != nullptr) drive_->Folder(path);
    }
    void File(const std::string& path, const std::string& bytes) {
        if (!files_.insert(path).second) return;
        Folder(path.substr(0, path.rfind('\\')));
        ++summary_.files;
        if (drive_ != nullptr) drive_->File(path, bytes);
    }
    void PlainFile(const std::string& path) { File(path, "Hivesweep bench file\r\n"); }

    // Whether the next entry of a kind is broken: the share spread evenly
    // over the entries, the first one broken, so that every section holds
    // at least one broken entry whenever the share is not 0.
    bool Broken(const std::string& kind) {
        if (plan_.brokenShare <= 0) return false;
        double& due = brokenDue_.try_emplace(kind, 1.0).first->second;
        const bool broken = due >= 1.0;
        if (broken) due -= 1.0;
        due += plan_.brokenShare;
        return broken;
    }

    // A tested entry: the existing file, or (for a broken entry) a missing
    // one in the same folder.
    std::string Tested(const char* section, const std::string& existing, std::string_view extension) {
        if (Broken(section)) {
            ++planted_[section];
            return existing.substr(0, existing.rfind('\\') + 1) + "gone" + std::to_string(++gone_) + "." +
                   std::string(extension);
        }
        PlainFile(existing);
        return existing;
    }

    // --- sizes ----------------------------------------------------------------

    void SizeSections() {
        const std::size_t k = plan_.keys, v = plan_.values;
        products_ = std::max<std::size_t>(8, k * 3 / 1000);
        classes_ = std::max<std::size_t>(16, k * 16 / 1000);
        appPaths_ = std::max<std::size_t>(4, k * 15 / 10000);
        help_ = std::max<std::size_t>(4, v * 2 / 10000);
        shared_ = std::max<std::size_t>(4, k * 2 / 1000);
        runSubkeys_ = std::max<std::size_t>(2, k * 2 / 10000);
        menuOrder_ = std::max<std::size_t>(2, k * 5 / 10000);
        fonts_ = std::max<std::size_t>(8, v * 25 / 10000);
        otherClassKeys_ = k / 4;
    }

    void MakeProducts() {
        const std::size_t vendors = std::max<std::size_t>(1, products_ / 3);
        for (std::size_t p = 0; p < products_; ++p) {
            Product product;
            const std::size_t v = p % vendors;
            product.vendor = std::string(kWords[v % kWordCount]) + "soft " + std::to_string(v);
            static constexpr std::string_view kKinds[] = {"Viewer", "Writer", "Player", "Studio", "Manager", "Tools"};
            product.name = std::string(kWords[(p * 7 + 3) % kWordCount]) + " " +
                           std::string(kKinds[p % std::size(kKinds)]) + " " + std::to_string(p);
            product.stem = "pr" + std::to_string(p);
            product.folder = std::string(kProgramFiles) + "\\" + product.vendor + "\\" + product.name;
            productList_.push_back(std::move(product));
        }
    }

    const Product& P(std::size_t i) const { return productList_[i % productList_.size()]; }

    // Keys above the sections, each written once.
    void Skeleton() {
        for (const char* path : {"SOFTWARE", "SOFTWARE\\Classes", "SOFTWARE\\Classes\\CLSID", "SOFTWARE\\Microsoft",
                                 "SOFTWARE\\Microsoft\\Windows", kCurrentVersion,
                                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
                                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                                 "SOFTWARE\\Microsoft\\Shared Tools", "SOFTWARE\\Microsoft\\Windows NT",
                                 "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SYSTEM",
                                 "SYSTEM\\CurrentControlSet", "SYSTEM\\CurrentControlSet\\Control",
                                 "SYSTEM\\CurrentControlSet\\Services"}) {
            Key(kHkeyLocalMachine, path);
            if (std::string_view(path) == kCurrentVersion) {
                Text("ProgramFilesDir", kProgramFiles);
                Text("CommonFilesDir", kCommonFiles);
                Text("MediaPath", "S:\\WINDOWS\\Media");
                Text("DevicePath", "S:\\WINDOWS\\inf");
            } else if (std::string_view(path) == "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion") {
                Text("CurrentVersion", "6.3");
                Text("CurrentBuildNumber", "22631");
                Text("SystemRoot", kBenchWindowsFolder);
                Text("RegisteredOwner", "Bench");
            }
        }
        for (const char* path : {"Software", "Software\\Microsoft", "Software\\Microsoft\\Windows",
                                 "Software\\Microsoft\\Windows\\CurrentVersion"}) {
            Key(kHkeyCurrentUser, path);
        }
        Folder("S:\\WINDOWS");
        Folder(kBenchSystemFolder);
        Folder("S:\\WINDOWS\\Fonts");
    }

    // --- registry sections ----------------------------------------------------

    void ComClasses() {
        const std::string base = std::string(kClasses) + "\\CLSID\\";
        const char* com = "ActiveX \\ COM";
        for (std::size_t c = 0; c < classes_; ++c) {
            const Product& product = P(c);
            const std::string clsid = base + Guid(rng_);
            Key(kHkeyLocalMachine, clsid);
            Text("", product.name + " Class " + std::to_string(c));
            const std::size_t kind = rng_.Below(100);
            if (kind < 58) {
                // A module of the product's own folder.
                const bool ocx = rng_.Chance(0.2);
                const std::string module = product.folder + "\\" + product.stem + "m" + std::to_string(c % 7) +
                                           (ocx ? ".ocx" : ".dll");
                Key(kHkeyLocalMachine, clsid + "\\InprocServer32");
                Text("", Tested(com, module, ocx ? "ocx" : "dll"));
                Text("ThreadingModel", rng_.Chance(0.5) ? "Apartment" : "Both");
            } else if (kind < 70) {
                // A bare name, found in the system folder.
                const std::string name = "hsb" + std::to_string(c % 997) + ".dll";
                const std::string tested = Tested(com, std::string(kBenchSystemFolder) + "\\" + name, "dll");
                Key(kHkeyLocalMachine, clsid + "\\InprocServer32");
                Text("", tested.substr(tested.rfind('\\') + 1));
                Text("ThreadingModel", "Both");
            } else if (kind < 76) {
                const std::string name = "hsys" + std::to_string(c % 389) + ".dll";
                const std::string tested = Tested(com, std::string(kBenchSystemFolder) + "\\" + name, "dll");
                Key(kHkeyLocalMachine, clsid + "\\InprocServer32");
                Text("", "%SystemRoot%\\system32\\" + tested.substr(tested.rfind('\\') + 1));
                Text("ThreadingModel", "Apartment");
            } else if (kind < 84) {
                Key(kHkeyLocalMachine, clsid + "\\LocalServer32");
                Text("", Tested(com, product.File("exe"), "exe"));
            } else if (kind < 90) {
                // With arguments: never tested.
                Key(kHkeyLocalMachine, clsid + "\\LocalServer32");
                Text("", "\"" + product.File("exe") + "\" /automation");
            } else {
                PlainFile(std::string(kBenchSystemFolder) + "\\ole32.dll");
                Key(kHkeyLocalMachine, clsid + "\\InprocHandler32");
                Text("", "ole32.dll");
            }
            Key(kHkeyLocalMachine, clsid + "\\ProgID");
            Text("", product.stem + ".Class" + std::to_string(c) + ".1");
            if (rng_.Chance(0.5)) {
                Key(kHkeyLocalMachine, clsid + "\\DefaultIcon");
                Text("", product.File("exe") + ",1");
            }
            if (rng_.Chance(0.3)) {
                Key(kHkeyLocalMachine, clsid + "\\VersionIndependentProgID");
                Text("", product.stem + ".Class" + std::to_string(c));
            }
            if (rng_.Chance(0.2)) {
                Key(kHkeyLocalMachine, clsid + "\\Implemented Categories");
                Key(kHkeyLocalMachine, clsid + "\\Implemented Categories\\" + Guid(rng_));
            }
            if (rng_.Chance(0.3)) {
                Key(kHkeyLocalMachine, clsid + "\\TypeLib");
                Text("", Guid(rng_));
                Text("Version", "1.0");
            }
        }
        planted_["ActiveX \\ COM Subsections"] = planted_[com];
    }

    // File types, interfaces and type libraries: walked only by the
    // configuration walk (and read by the shortcut reader's type look-up).
    void OtherClasses() {
        const std::string base = std::string(kClasses) + "\\";
        std::size_t used = 0;
        const struct {
            const char* extension;
            const char* className;
            const char* type;
            bool link;
        } kTypes[] = {{".lnk", "lnkfile", "Shortcut", true},       {".url", "InternetShortcut", "Internet Shortcut", true},
                      {".txt", "txtfile", "Text Document", false}, {".log", "txtfile", "Text Document", false},
                      {".jpg", "jpegfile", "JPEG Image", false},   {".xml", "xmlfile", "XML Document", false},
                      {".dat", "datfile", "DAT File", false}};
        std::set<std::string> madeClasses;
        for (const auto& type : kTypes) {
            Key(kHkeyLocalMachine, base + type.extension);
            Text("", type.className);
            ++used;
            if (!madeClasses.insert(type.className).second) continue;
            Key(kHkeyLocalMachine, base + type.className);
            Text("", type.type);
            if (type.link) Text("IsShortcut", "");
            ++used;
        }
        Key(kHkeyLocalMachine, base + "Interface");
        Key(kHkeyLocalMachine, base + "TypeLib");
        used += 2;
        for (std::size_t n = 0; used < otherClassKeys_; ++n) {
            const Product& product = P(n);
            switch (n % 4) {
            case 0:
            case 1: {  // a file type and its program identifier: 6 keys
                const std::string progId = product.stem + ".Document" + std::to_string(n);
                Key(kHkeyLocalMachine, base + ".x" + std::to_string(n));
                Text("", progId);
                Text("Content Type", "application/x-bench" + std::to_string(n));
                Key(kHkeyLocalMachine, base + progId);
                Text("", product.name + " Document");
                Key(kHkeyLocalMachine, base + progId + "\\DefaultIcon");
                Text("", product.File("exe") + ",2");
                Key(kHkeyLocalMachine, base + progId + "\\shell");
                Key(kHkeyLocalMachine, base + progId + "\\shell\\open");
                Key(kHkeyLocalMachine, base + progId + "\\shell\\open\\command");
                Text("", "\"" + product.File("exe") + "\" \"%1\"");
                used += 6;
                break;
            }
            case 2: {  // an interface: 2 keys
                const std::string iid = base + "Interface\\" + Guid(rng_);
                Key(kHkeyLocalMachine, iid);
                Text("", "I" + product.stem + "Object" + std::to_string(n));
                Key(kHkeyLocalMachine, iid + "\\ProxyStubClsid32");
                Text("", "{00020424-0000-0000-C000-000000000046}");
                used += 2;
                break;
            }
            default: {  // a type library: 6 keys
                const std::string lib = base + "TypeLib\\" + Guid(rng_);
                Key(kHkeyLocalMachine, lib);
                Key(kHkeyLocalMachine, lib + "\\1.0");
                Text("", product.name + " Type Library");
                Key(kHkeyLocalMachine, lib + "\\1.0\\0");
                Key(kHkeyLocalMachine, lib + "\\1.0\\0\\win32");
                Text("", product.File("dll"));
                Key(kHkeyLocalMachine, lib + "\\1.0\\FLAGS");
                Text("", "0");
                Key(kHkeyLocalMachine, lib + "\\1.0\\HELPDIR");
                Text("", product.folder);
                used += 6;
                break;
            }
            }
        }
    }

    void AppPaths() {
        const std::string base = std::string(kCurrentVersion) + "\\App Paths\\";
        for (std::size_t a = 0; a < appPaths_; ++a) {
            const Product& product = P(a);
            const std::string exe = product.folder + "\\" + product.stem + "a" + std::to_string(a) + ".exe";
            Key(kHkeyLocalMachine, base + product.stem + "a" + std::to_string(a) + ".exe");
            const std::string tested = Tested("Application Paths", exe, "exe");
            Text("", a % 5 == 0 ? "\"" + tested + "\"" : tested);
            Text("Path", product.folder + ";");
        }
    }

    void HelpFiles() {
        Key(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\Help");
        for (std::size_t h = 0; h < help_; ++h) {
            const Product& product = P(h);
            const std::string tested =
                Tested("Help Files", product.folder + "\\guide" + std::to_string(h) + ".hlp", "hlp");
            Text(tested.substr(tested.rfind('\\') + 1), product.folder);
        }
        Key(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\HTML Help");
        for (std::size_t h = 0; h < help_; ++h) {
            const Product& product = P(h + 1);
            const std::string tested =
                Tested("Help Files", product.folder + "\\help" + std::to_string(h) + ".chm", "chm");
            Text(tested.substr(tested.rfind('\\') + 1), product.folder + "\\");
        }
    }

    void SharedTools() {
        const std::string base = "SOFTWARE\\Microsoft\\Shared Tools\\";
        for (std::size_t t = 0; t < shared_; ++t) {
            const std::string name = "Tool" + std::to_string(t);
            const std::string file = std::string(kCommonFiles) + "\\Shared\\" + name + "\\tool" + std::to_string(t) + ".dll";
            Key(kHkeyLocalMachine, base + name);
            Text("Path", Tested("Microsoft Shared", file, "dll"));
            Text("Version", "2.1");
            Text("Name", "Shared tool " + std::to_string(t));
            if (t % 2 == 0) {
                Key(kHkeyLocalMachine, base + name + "\\Options");
                Number("Enabled", 1);
                Text("Mode", "Standard");
            }
        }
    }

    void Startup() {
        const std::string run = std::string(kCurrentVersion) + "\\Run";
        Key(kHkeyLocalMachine, run);
        for (std::size_t r = 0; r < runSubkeys_; ++r) Text(P(r).name + " " + std::to_string(r), "\"" + P(r).File("exe") + "\" /background");
        Key(kHkeyLocalMachine, run + "\\OptionalComponents");
        for (std::size_t r = 0; r < runSubkeys_; ++r) {
            Key(kHkeyLocalMachine, run + "\\OptionalComponents\\Component" + std::to_string(r));
            Text("Command", Tested("Windows Startup", P(r).File("exe"), "exe") + " /startup");
            Text("Installed", "1");
        }
        const std::string order = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
        Key(kHkeyCurrentUser, order);
        Key(kHkeyCurrentUser, order + "\\MenuOrder");
        Key(kHkeyCurrentUser, order + "\\MenuOrder\\Start Menu");
        Key(kHkeyCurrentUser, order + "\\MenuOrder\\Start Menu\\Programs");
        const std::string binaryOrder("\x08\0\0\0\x02\0\0\0\0\0\0\0", 12);
        for (std::size_t m = 0; m < menuOrder_; ++m) {
            Key(kHkeyCurrentUser, order + "\\MenuOrder\\Start Menu\\Programs\\" + P(m).name + " " + std::to_string(m));
            Value("Order", kRegBinary, binaryOrder);
            if (m % 4 == 0) Text("Launcher", "\"" + Tested("Windows Startup", P(m).File("exe"), "exe") + "\" /minimized");
        }
    }

    void Uninstall() {
        const std::string base = std::string(kCurrentVersion) + "\\Uninstall\\";
        const char* section = "Uninstall Section";
        for (std::size_t p = 0; p < products_; ++p) {
            const Product& product = P(p);
            const bool msi = p % 5 < 2;
            const std::string id = msi ? Guid(rng_) : product.name;
            Key(kHkeyLocalMachine, base + id);
            Text("DisplayName", product.name);
            Text("DisplayVersion", "4.2." + std::to_string(p));
            Text("Publisher", product.vendor);
            Text("InstallDate", "20240117");
            Text("InstallLocation", product.folder + "\\");
            Text("URLInfoAbout", "https://www.example.com/" + product.stem);
            Number("EstimatedSize", static_cast<std::uint32_t>(1024 + p));
            Number("NoRepair", 1);
            if (msi) {
                PlainFile(std::string(kBenchSystemFolder) + "\\msiexec.exe");
                Text("UninstallString", "MsiExec.exe /X" + id);
                Text("ModifyPath", "MsiExec.exe /I" + id);
                const std::string icon = "S:\\WINDOWS\\Installer\\" + id + "\\icon" + std::to_string(p) + ".exe";
                Text("DisplayIcon", Tested(section, icon, "exe"));
                Number("WindowsInstaller", 1);
            } else {
                const std::string uninstaller = product.folder + "\\unins" + std::to_string(p) + ".exe";
                Text("UninstallString", "\"" + Tested(section, uninstaller, "exe") + "\"");
                Text("QuietUninstallString", "\"" + uninstaller + "\" /SILENT");
                Text("DisplayIcon", Tested(section, product.File("exe"), "exe") + ",0");
            }
        }
    }

    void VirtualDevices() {
        Key(kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\VirtualDeviceDrivers");
        for (std::size_t d = 0; d < 8; ++d) {
            const std::string file = std::string(kBenchSystemFolder) + "\\vdd" + std::to_string(d) + ".dll";
            const std::string tested = Tested("VxD Section", file, "dll");
            Text("Vdd" + std::to_string(d), d % 2 == 0 ? tested : tested.substr(tested.rfind('\\') + 1));
        }
    }

    void Fonts() {
        Key(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
        for (std::size_t f = 0; f < fonts_; ++f) {
            const std::string face = std::string(kWords[f % kWordCount]) + " Face " + std::to_string(f) + " (TrueType)";
            if (f % 7 == 3) {
                Text(face, Tested("Windows Fonts", P(f).folder + "\\face" + std::to_string(f) + ".ttf", "ttf"));
            } else {
                const std::string tested =
                    Tested("Windows Fonts", "S:\\WINDOWS\\Fonts\\font" + std::to_string(f) + ".ttf", "ttf");
                Text(face, tested.substr(tested.rfind('\\') + 1));
            }
        }
    }

    // --- configuration-only subtrees -------------------------------------------

    // Values of the n-th filler key, so that all filler keys together hold
    // the values still to write.
    std::size_t FillerValueCount() {
        const std::size_t n = fillerIndex_++;
        if (fillerKeys_ == 0) return 0;
        const auto upTo = [&](std::size_t i) { return i * fillerValues_ / fillerKeys_; };
        return upTo(n + 1) - upTo(n);
    }

    void FillerValues(std::size_t count) {
        // Now and then the last value is a blob larger than the walker's
        // buffer, which ends that key's value walk.
        const bool largeLast = count > 0 && rng_.Chance(0.005);
        for (std::size_t i = 0; i < count; ++i) {
            const std::string name = NodeName(i + 3) + "Value";
            if (largeLast && i + 1 == count) {
                Value(name, kRegBinary, std::string(400, '\x5A'));
                break;
            }
            switch (rng_.Below(20)) {
            case 0: case 1: case 2: case 3: case 4: case 5:
                Text(name, "Enabled");
                break;
            case 6: case 7:
                Text(name, "S:\\Data\\Project" + std::to_string(rng_.Below(50)) + "\\notes.txt");
                break;
            case 8:
                Text(name, "https://www.example.com/" + std::to_string(rng_.Below(1000)));
                break;
            case 9: case 10: case 11: case 12: case 13:
                Number(name, static_cast<std::uint32_t>(rng_.Below(100000)));
                break;
            case 14: case 15: {
                std::string blob(8 + rng_.Below(56), '\0');
                for (char& c : blob) c = static_cast<char>(rng_.Below(256));
                Value(name, kRegBinary, blob);
                break;
            }
            case 16:
                Value(name, kRegExpandSz, Sz("%SystemRoot%\\system32\\bench" + std::to_string(i) + ".dll"));
                break;
            case 17:
                Value(name, kRegMultiSz, std::string("first\0second\0\0", 14));
                break;
            default:
                Text(name, std::string(kWords[rng_.Below(kWordCount)]) + " " + std::to_string(rng_.Below(10000)));
                break;
            }
        }
    }

    // A tree of exactly budget keys below (and including) path.
    void Tree(RegKey root, const std::string& path, std::size_t budget) {
        if (budget == 0) return;
        Key(root, path);
        FillerValues(FillerValueCount());
        std::size_t rest = budget - 1;
        if (rest == 0) return;
        const std::size_t children = std::min(rest, 2 + rng_.Below(11));
        for (std::size_t c = 0; c < children; ++c) {
            const std::size_t share = rest / children + (c < rest % children ? 1 : 0);
            Tree(root, path + "\\" + NodeName(c), share);
        }
    }

    void Fillers() {
        const std::size_t written = summary_.keys;
        // Parents of the filler trees, written below.
        const std::size_t vendors = std::max<std::size_t>(1, products_ / 3);
        const std::size_t parents = vendors * 2 + 2;
        fillerKeys_ = plan_.keys > written + parents ? plan_.keys - written - parents : 0;
        fillerValues_ = plan_.values > summary_.values ? plan_.values - summary_.values : 0;
        const std::size_t software = fillerKeys_ * 55 / 100;
        const std::size_t system = fillerKeys_ * 25 / 100;
        const std::size_t user = fillerKeys_ - software - system;

        // Products' own settings below their vendors, machine and user.
        std::vector<std::string> vendorNames;
        for (std::size_t v = 0; v < vendors; ++v) vendorNames.push_back(P(v).vendor);
        for (const std::string& vendor : vendorNames) Key(kHkeyLocalMachine, "SOFTWARE\\" + vendor);
        for (std::size_t v = 0; v < vendors; ++v) {
            const std::size_t share = software / vendors + (v < software % vendors ? 1 : 0);
            Tree(kHkeyLocalMachine, "SOFTWARE\\" + vendorNames[v] + "\\" + P(v).name, share);
        }
        Key(kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Enum");
        const std::size_t services = std::max<std::size_t>(1, system / 40);
        for (std::size_t s = 0; s < services; ++s) {
            const std::size_t share = system / services + (s < system % services ? 1 : 0);
            Tree(kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\Service" + std::to_string(s), share);
        }
        for (const std::string& vendor : vendorNames) Key(kHkeyCurrentUser, "Software\\" + vendor);
        Key(kHkeyCurrentUser, "Control Panel");
        for (std::size_t v = 0; v < vendors; ++v) {
            const std::size_t share = user / vendors + (v < user % vendors ? 1 : 0);
            Tree(kHkeyCurrentUser, "Software\\" + vendorNames[v] + "\\" + P(v).name, share);
        }
    }

    // --- the drive ----------------------------------------------------------

    std::string DataFile(std::size_t n) const {
        static constexpr const char* kExtensions[] = {".txt", ".dat", ".jpg", ".log", ".xml", ".txt", ".jpg", ""};
        const std::string folder = "S:\\Data\\Project" + std::to_string(n / 400) + "\\Folder" + std::to_string(n / 25 % 16);
        return folder + "\\file" + std::to_string(n) + kExtensions[n % std::size(kExtensions)];
    }

    void Link(const std::string& path, const std::string& target, const std::string& workingDirectory) {
        const bool broken = Broken("shortcuts");
        std::string pointsTo = target;
        if (broken) {
            ++summary_.brokenShortcuts;
            pointsTo = target.substr(0, target.rfind('\\') + 1) + "gone" + std::to_string(++gone_) + ".exe";
        }
        ++summary_.shellLinks;
        File(path, tools::MakeShellLink(tools::LinkTo(pointsTo, workingDirectory)));
    }

    void InternetShortcut(const std::string& path, const std::string& target) {
        ++summary_.internetShortcuts;
        if (target.empty()) {
            File(path, tools::MakeInternetShortcut("https://www.example.com/"));
            return;
        }
        std::string pointsTo = target;
        if (Broken("shortcuts")) {
            ++summary_.brokenShortcuts;
            pointsTo = target.substr(0, target.rfind('\\') + 1) + "gone" + std::to_string(++gone_) + ".txt";
        }
        File(path, tools::MakeInternetShortcut(tools::FileUrl(pointsTo)));
    }

    void DriveTree() {
        const std::size_t target = plan_.DriveFiles();
        const std::size_t shortcuts = std::max<std::size_t>(products_, target / 20);
        const std::size_t referenced = summary_.files;
        const std::size_t dataFiles = target > referenced + shortcuts ? target - referenced - shortcuts : 0;
        // Every product's program, so that links have something to point at.
        for (std::size_t p = 0; p < products_; ++p) PlainFile(P(p).File("exe"));
        for (std::size_t n = 0; n < dataFiles; ++n) PlainFile(DataFile(n));

        const std::string user = "S:\\Users\\Bench";
        const std::string programs = user + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
        Folder(user + "\\Desktop");
        std::size_t made = 0;
        for (std::size_t p = 0; p < products_ && made < shortcuts; ++p, ++made) {
            Link(programs + "\\" + P(p).vendor + "\\" + P(p).name + ".lnk", P(p).File("exe"), P(p).folder);
        }
        for (std::size_t p = 0; p < products_ / 10 && made < shortcuts; ++p, ++made) {
            Link(user + "\\Desktop\\" + P(p).name + ".lnk", P(p).File("exe"), P(p).folder);
        }
        const std::size_t urls = (shortcuts - made) / 4;
        for (std::size_t u = 0; u < urls; ++u, ++made) {
            const std::string file = dataFiles > 0 && u % 2 == 0 ? DataFile((u * 37) % dataFiles) : std::string();
            InternetShortcut(user + "\\Favorites\\Link " + std::to_string(u) + ".url", file);
        }
        for (std::size_t r = 0; made < shortcuts; ++r, ++made) {
            const std::string file = dataFiles > 0 ? DataFile((r * 53) % dataFiles) : P(r).File("exe");
            // A data file without an extension gets a link like any other.
            Link(user + "\\AppData\\Roaming\\Microsoft\\Windows\\Recent\\Item " + std::to_string(r) + ".lnk", file,
                 file.substr(0, file.rfind('\\')));
        }
    }

    const BenchPlan& plan_;
    Rng rng_;
    RegistrySink* registry_;
    DriveSink* drive_;
    BenchSummary summary_;
    std::map<std::string, std::size_t> planted_;
    std::map<std::string, double> brokenDue_;
    std::set<std::string> folders_, files_;
    std::vector<Product> productList_;
    std::size_t gone_ = 0;

    std::size_t products_ = 0, classes_ = 0, appPaths_ = 0, help_ = 0, shared_ = 0, runSubkeys_ = 0,
                menuOrder_ = 0, fonts_ = 0, otherClassKeys_ = 0;
    std::size_t fillerKeys_ = 0, fillerValues_ = 0, fillerIndex_ = 0;
};

// Readies the drive folder: true in *current when it holds this plan's drive.
bool PrepareDriveFolder(const stdfs::path& root, const std::string& tag, bool& current, std::string& error) {
    current = false;
    std::error_code code;
    const stdfs::file_status status = stdfs::status(root, code);
    if (!stdfs::exists(status)) {
        stdfs::create_directories(root, code);
        if (code) error = "cannot create " + root.string() + ": " + code.message();
        return !code;
    }
    if (!stdfs::is_directory(status)) {
        error = root.string() + " exists and is not a folder";
        return false;
    }
    // Counted by listing. An empty drive root lists nothing at all, not even
    // "." and "..", which some libraries report as a missing folder.
    stdfs::directory_iterator first(root, code);
    if (code == std::errc::no_such_file_or_directory || (!code && first == stdfs::directory_iterator())) return true;
    std::string line;
    {
        // Closed before anything is removed: Windows keeps an open file.
        std::ifstream marker(root / kBenchMarkerName, std::ios::binary);
        if (!marker) {
            error = root.string() + " is not empty and holds no bench drive (" + kBenchMarkerName + ")";
            return false;
        }
        std::getline(marker, line);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == tag) {
        current = true;
        return true;
    }
    for (const stdfs::directory_entry& entry : stdfs::directory_iterator(root, code)) {
        stdfs::remove_all(entry.path(), code);
        if (code) {
            error = "cannot remove " + entry.path().string() + ": " + code.message();
            return false;
        }
    }
    return true;
}

} // namespace

bool ParseBenchSize(const std::string& text, BenchPlan& plan, std::string& error) {
    if (text == "win11") {
        plan.keys = kWindows11Keys;
        plan.values = kWindows11Values;
        return true;
    }
    const auto number = [](std::string_view digits, std::size_t& out) {
        if (digits.empty() || digits.size() > 9) return false;
        out = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return false;
            out = out * 10 + static_cast<std::size_t>(c - '0');
        }
        return true;
    };
    const std::size_t comma = text.find(',');
    std::size_t keys = 0, values = 0;
    const bool parsed = number(std::string_view(text).substr(0, comma), keys) &&
                        (comma == std::string::npos ? (values = keys * 4, true)
                                                    : number(std::string_view(text).substr(comma + 1), values));
    if (!parsed || keys < 1000 || keys > kWindows11Keys * 4 || values > kWindows11Values * 8) {
        error = "--size " + text + ": expected KEYS[,VALUES] (1000 to " + std::to_string(kWindows11Keys * 4) +
                " keys) or win11";
        return false;
    }
    plan.keys = keys;
    plan.values = values;
    return true;
}

std::string PlanTag(const BenchPlan& plan) {
    char share[32];
    std::snprintf(share, sizeof share, "%g", plan.brokenShare);
    return "k" + std::to_string(plan.keys) + "-v" + std::to_string(plan.values) + "-b" + share + "-f" +
           std::to_string(plan.DriveFiles()) + "-s" + std::to_string(plan.seed) + "-g" +
           std::to_string(kGeneratorVersion);
}

std::size_t BenchSummary::PlantedRegistryProblems() const {
    std::size_t total = 0;
    for (const auto& [section, count] : plantedBySection) total += count;
    return total;
}

BenchSummary WriteBenchRegistry(Registry& registry, const BenchPlan& plan, bool* ok) {
    RegistrySink sink(registry);
    BenchSummary summary = Planner(plan, &sink, nullptr).Run();
    if (ok != nullptr) *ok = sink.ok;
    return summary;
}

bool WriteBenchDrive(const std::string& hostFolder, const BenchPlan& plan, BenchSummary* summary, std::string& error) {
    if (hostFolder.empty()) {
        error = "no drive folder given";
        return false;
    }
    const stdfs::path root(hostFolder);
    bool current = false;
    if (!PrepareDriveFolder(root, PlanTag(plan), current, error)) return false;
    if (current) {
        if (summary != nullptr) *summary = PlanBenchSystem(plan);
        return true;
    }
    DriveSink sink(root);
    BenchSummary written = Planner(plan, nullptr, &sink).Run();
    if (!sink.error.empty()) {
        error = sink.error;
        return false;
    }
    if (summary != nullptr) *summary = written;
    return true;
}

BenchSummary PlanBenchSystem(const BenchPlan& plan) {
    return Planner(plan, nullptr, nullptr).Run();
}

} // namespace hs::bench

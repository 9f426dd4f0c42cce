// The demo system's contents as tables, and the writer that lays them out.
//
// The story the demo tells: Lumenfold Viewer and Pinwheel Paint are
// installed and sound; Quillmark Writer was uninstalled and left its
// registration behind; Tidewater Media Player's folder was deleted by hand;
// Stargaze Portable runs from the removable drive E:, and part of it is
// gone.
#include "tools/demo_system.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <system_error>

#include "tools/link_writer.h"

namespace hs::demo {
namespace {

namespace stdfs = std::filesystem;

// ---------------------------------------------------------------------------
// Registry

enum class Kind { Sz, ExpandSz, MultiSz, Dword, Binary };

struct Value {
    std::string_view name;  // empty for the key's unnamed value
    Kind kind;
    std::string_view data;  // MultiSz: strings separated by '|'; Binary: hex bytes "01,02"; Dword: 8 hex digits
};

struct Key {
    std::string_view path;  // with its root, as a .reg file names it
    std::vector<Value> values;
};

Value Sz(std::string_view name, std::string_view data) { return {name, Kind::Sz, data}; }
Value Def(std::string_view data) { return {"", Kind::Sz, data}; }
Value Expand(std::string_view name, std::string_view data) { return {name, Kind::ExpandSz, data}; }
Value Multi(std::string_view name, std::string_view data) { return {name, Kind::MultiSz, data}; }
Value Dword(std::string_view name, std::string_view hex8) { return {name, Kind::Dword, hex8}; }
Value Binary(std::string_view name, std::string_view bytes) { return {name, Kind::Binary, bytes}; }

// Made-up class identifiers.
#define LUMENFOLD_VIEWER "{6F1A2C40-3B7D-4E21-9A5C-0D2E8B41C7A1}"
#define LUMENFOLD_PROPS "{2A8E6D17-5C94-4B03-8F2E-91D7C06A3B58}"
#define PINWHEEL_DOCUMENT "{B2E41D93-77C0-4A6E-8F15-3C9D0A7E5B22}"
#define THUMBNAIL_HELPER "{3D9C7E15-A4B2-4F60-8E7D-1B5A9C2F6034}"
#define MEDIA_EXTENSION "{8A7F2B61-0C3D-4E95-B1A8-64D2F0E9C713}"
#define STARGAZE_VIEW "{E5C08A3F-92B1-4D7E-A6F4-0B18C3D57E90}"
#define QUILLMARK_SPELLER "{4C3B9E70-1F2A-4B8D-95E6-A7D04C18B35F}"
#define VIGEX_CODEC "{9E0D5A14-6B37-4C2F-8D91-F3A6B27C0E48}"
#define TIDEWATER_FILTER "{1B6E4F29-D805-4A73-B2C9-5E7A013D8F66}"
#define STARGAZE_SHELL "{7D2A9B05-E1C4-4F38-A70B-2C95E6D148F3}"
#define PINWHEEL_PRODUCT "{5A1E3C77-2D48-4F96-B0C1-8E62A94D7F05}"
#define STARGAZE_PRODUCT "{C0F47B12-9A3E-4D65-8B27-E14D6A0C95B3}"

#define HKCR "HKEY_CLASSES_ROOT\\"
#define MACHINE_CLSID "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\"
#define USER_CLSID "HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\"
#define CURRENT_VERSION "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion"
#define APP_PATHS CURRENT_VERSION "\\App Paths\\"
#define UNINSTALL CURRENT_VERSION "\\Uninstall\\"
#define SHARED_TOOLS "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\"
#define MENU_ORDER \
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs\\"

// Machine classes come before the user's: a key written through
// HKEY_CLASSES_ROOT goes to the user's classes only where its parent exists
// there alone.
const std::vector<Key>& RegistryTable() {
    static const std::vector<Key> table = {
        // Folders and the platform.
        {CURRENT_VERSION,
         {Sz("ProgramFilesDir", R"(C:\Program Files)"), Sz("CommonFilesDir", R"(C:\Program Files\Common Files)"),
          Sz("MediaPath", R"(C:\WINDOWS\Media)"), Sz("DevicePath", R"(C:\WINDOWS\inf)")}},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
         {Sz("CurrentVersion", "5.1"), Sz("CurrentBuildNumber", "2600"), Sz("SystemRoot", R"(C:\WINDOWS)"),
          Sz("RegisteredOwner", "Alex"), Sz("CSDVersion", "Service Pack 3")}},
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
         {Expand("Path", R"(%SystemRoot%\system32;%SystemRoot%)"), Expand("windir", "%SystemRoot%"),
          Sz("OS", "Windows_NT")}},

        // COM classes (machine): "ActiveX \ COM" and "ActiveX \ COM Subsections".
        {HKCR "CLSID\\" LUMENFOLD_VIEWER, {Def("Lumenfold Viewer Control")}},
        {HKCR "CLSID\\" LUMENFOLD_VIEWER "\\InprocServer32",
         {Def(R"(C:\Program Files\Lumenfold\lfview.ocx)"), Sz("ThreadingModel", "Apartment")}},
        {HKCR "CLSID\\" LUMENFOLD_VIEWER "\\ProgID", {Def("Lumenfold.Viewer.1")}},
        {HKCR "CLSID\\" LUMENFOLD_VIEWER "\\VersionIndependentProgID", {Def("Lumenfold.Viewer")}},
        {HKCR "CLSID\\" LUMENFOLD_VIEWER "\\DefaultIcon", {Def(R"(C:\Program Files\Lumenfold\lfview.ocx,1)")}},
        {HKCR "CLSID\\" LUMENFOLD_VIEWER "\\ToolboxBitmap32", {Def(R"(C:\Program Files\Lumenfold\lfview.ocx, 1)")}},
        {HKCR "CLSID\\" LUMENFOLD_VIEWER "\\Control", {}},
        {HKCR "CLSID\\" LUMENFOLD_VIEWER "\\Version", {Def("3.1")}},
        // Expandable strings are never read as paths, so this one is skipped.
        {HKCR "CLSID\\" LUMENFOLD_PROPS, {Def("Lumenfold Property Handler")}},
        {HKCR "CLSID\\" LUMENFOLD_PROPS "\\InprocServer32",
         {Expand("", R"(%ProgramFiles%\Lumenfold\lfprops.dll)"), Sz("ThreadingModel", "Both")}},
        {HKCR "CLSID\\" PINWHEEL_DOCUMENT, {Def("Pinwheel Paint Document")}},
        {HKCR "CLSID\\" PINWHEEL_DOCUMENT "\\LocalServer32",
         {Def(R"(C:\Program Files\Pinwheel Paint\pinwheel.exe /automation)")}},
        {HKCR "CLSID\\" PINWHEEL_DOCUMENT "\\ProgID", {Def("Pinwheel.Document.3")}},
        {HKCR "CLSID\\" PINWHEEL_DOCUMENT "\\DefaultIcon", {Def(R"(C:\Program Files\Pinwheel Paint\pinwheel.exe,1)")}},
        {MACHINE_CLSID THUMBNAIL_HELPER, {Def("Shell Thumbnail Helper")}},
        {MACHINE_CLSID THUMBNAIL_HELPER "\\InprocServer32", {Def("thmbhlp.dll"), Sz("ThreadingModel", "Both")}},
        {MACHINE_CLSID MEDIA_EXTENSION, {Def("Media Extension Handler")}},
        {MACHINE_CLSID MEDIA_EXTENSION "\\InprocServer32",
         {Def(R"(%SystemRoot%\system32\mediaext.dll)"), Sz("ThreadingModel", "Apartment")}},
        // Missing, but on a removable drive: never reported as a COM class.
        {MACHINE_CLSID STARGAZE_VIEW, {Def("Stargaze Portable View")}},
        {MACHINE_CLSID STARGAZE_VIEW "\\InprocServer32", {Def(R"(E:\Apps\Stargaze\sgview.ocx)")}},
        // Broken.
        {HKCR "CLSID\\" QUILLMARK_SPELLER, {Def("Quillmark Spelling Engine")}},
        {HKCR "CLSID\\" QUILLMARK_SPELLER "\\InprocServer32",
         {Def(R"(C:\Program Files\Quillmark Writer\qmspell.dll)"), Sz("ThreadingModel", "Apartment")}},
        {MACHINE_CLSID VIGEX_CODEC, {Def("Vigex Video Codec")}},
        {MACHINE_CLSID VIGEX_CODEC "\\InprocServer32", {Def("vgxcodec.dll"), Sz("ThreadingModel", "Both")}},
        {MACHINE_CLSID TIDEWATER_FILTER, {Def("Tidewater Audio Filter")}},
        {MACHINE_CLSID TIDEWATER_FILTER "\\InprocServer32",
         {Def(R"(%SystemRoot%\System32\twfilter.ax)"), Sz("ThreadingModel", "Both")}},

        // File types.
        {HKCR ".lfv", {Def("Lumenfold.Image"), Sz("Content Type", "image/x-lumenfold")}},
        {HKCR "Lumenfold.Image", {Def("Lumenfold Image")}},
        {HKCR "Lumenfold.Image\\DefaultIcon", {Def(R"(C:\Program Files\Lumenfold\lumenfold.exe,2)")}},
        {HKCR "Lumenfold.Image\\shell\\open\\command", {Def(R"("C:\Program Files\Lumenfold\lumenfold.exe" "%1")")}},
        {HKCR "Lumenfold.Viewer.1\\CLSID", {Def(LUMENFOLD_VIEWER)}},
        {HKCR "TypeLib\\{0B93D6E2-41F8-4C7A-9D35-6A2C8E17F4B0}\\3.1\\0\\win32",
         {Def(R"(C:\Program Files\Lumenfold\lfview.ocx)")}},

        // The user's own classes: "ActiveX \ COM" only.
        {USER_CLSID STARGAZE_SHELL, {Def("Stargaze Shell Extension")}},
        {USER_CLSID STARGAZE_SHELL "\\InprocServer32",
         {Def(R"(C:\Documents and Settings\Alex\Application Data\Stargaze\sgshell.dll)"),
          Sz("ThreadingModel", "Apartment")}},

        // Application paths.
        {APP_PATHS "lumenfold.exe", {Def(R"(C:\Program Files\Lumenfold\lumenfold.exe)"),
                                     Sz("Path", R"(C:\Program Files\Lumenfold;)")}},
        {APP_PATHS "pinwheel.exe", {Def(R"(%ProgramFiles%\Pinwheel Paint\pinwheel.exe)")}},
        {APP_PATHS "sysdiag.exe", {Def("sysdiag.exe")}},
        {APP_PATHS "quillmk.exe", {Def(R"(C:\Program Files\Quillmark Writer\quillmk.exe)"),
                                   Sz("Path", R"(C:\Program Files\Quillmark Writer;)")}},
        {APP_PATHS "stargaze.exe", {Def(R"(E:\Apps\Stargaze\stargaze.exe)")}},
        {APP_PATHS "twplayer.exe", {Def(R"("C:\Program Files\Tidewater Media\twplayer.exe")")}},

        // Help files: file name = folder.
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help",
         {Sz("lumenfold.hlp", R"(C:\Program Files\Lumenfold\Help)"), Sz("sysdiag.hlp", R"(C:\WINDOWS\Help\)"),
          Sz("quillmk.hlp", R"(C:\Program Files\Quillmark Writer\Help)")}},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\HTML Help",
         {Sz("pinwheel.chm", R"(C:\Program Files\Pinwheel Paint)"), Sz("windiag.chm", R"(C:\WINDOWS\Help)"),
          Sz("twplayer.chm", R"(C:\Program Files\Tidewater Media\)")}},

        // Shared tools.
        {SHARED_TOOLS "Graph Engine",
         {Sz("Path", R"(C:\Program Files\Common Files\Microsoft Shared\Graph\grapheng.exe)"), Sz("Version", "2.1")}},
        {SHARED_TOOLS "Text Converters\\Import\\RTF",
         {Sz("Name", "Rich Text Format"), Sz("Path", R"(C:\Program Files\Common Files\Microsoft Shared\TextConv\rtfimp32.cnv)"),
          Sz("Extensions", "rtf")}},
        {SHARED_TOOLS "Lumenfold Runtime", {Sz("SharedDll", "lfrt32.dll"), Sz("Stationery", "*.lfs")}},
        {SHARED_TOOLS "Formula Composer",
         {Sz("Path", R"(C:\Program Files\Common Files\Microsoft Shared\Formula\fcomp.exe)")}},
        {SHARED_TOOLS "Proofing Engine\\1033", {Sz("Engine", "prfeng32.dll"),
          Sz("Dictionary", R"(C:\Documents and Settings\Alex\Application Data\Proof\custom.dic)")}},

        // Startup. The Run key's own values are not part of the key walk;
        // its subkeys and the user's menu order keys are.
        {CURRENT_VERSION "\\Run",
         {Sz("Lumenfold Agent", R"("C:\Program Files\Lumenfold\lfagent.exe" /background)"),
          Sz("PowerPanel", R"(C:\WINDOWS\system32\pwrpanel.exe)")}},
        {CURRENT_VERSION "\\RunOnce",
         {Sz("PinwheelCleanup", R"(C:\WINDOWS\system32\rundll32.exe C:\Program Files\Pinwheel Paint\pwsetup.dll,Cleanup)")}},
        {CURRENT_VERSION "\\Run\\OptionalComponents\\Lumenfold",
         {Sz("Command", R"("C:\Program Files\Lumenfold\lfagent.exe" /background)"), Sz("Installed", "1")}},
        {CURRENT_VERSION "\\Run\\OptionalComponents\\Tidewater Media",
         {Sz("Command", R"(C:\Program Files\Tidewater Media\twtray.exe -startup)"), Sz("Installed", "1")}},
        {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
         {Sz("Stargaze Notifier", R"(E:\Apps\Stargaze\sgnotify.exe)")}},
        {MENU_ORDER "Accessories", {Binary("Order", "08,00,00,00,02,00,00,00,00,00,00,00")}},
        {MENU_ORDER "Lumenfold", {Binary("Order", "08,00,00,00,02,00,00,00,00,00,00,00")}},
        {MENU_ORDER "Quillmark Writer",
         {Binary("Order", "08,00,00,00,02,00,00,00,00,00,00,00"),
          Sz("Launcher", R"("C:\Program Files\Quillmark Writer\qmstart.exe" /minimized)")}},

        // Uninstall entries.
        {UNINSTALL "Lumenfold Viewer_is1",
         {Sz("DisplayName", "Lumenfold Viewer 3.1"), Sz("DisplayVersion", "3.1.0"), Sz("Publisher", "Lumenfold Software"),
          Sz("UninstallString", R"("C:\Program Files\Lumenfold\unins000.exe")"),
          Sz("QuietUninstallString", R"("C:\Program Files\Lumenfold\unins000.exe" /SILENT)"),
          Sz("DisplayIcon", R"(C:\Program Files\Lumenfold\lumenfold.exe,0)"),
          Sz("InstallLocation", R"(C:\Program Files\Lumenfold\)"), Sz("URLInfoAbout", "http://www.lumenfold.example/"),
          Dword("EstimatedSize", "00000c80")}},
        {UNINSTALL PINWHEEL_PRODUCT,
         {Sz("DisplayName", "Pinwheel Paint 3.2"), Sz("Publisher", "Pinwheel Graphics"),
          Sz("UninstallString", "MsiExec.exe /X" PINWHEEL_PRODUCT), Sz("ModifyPath", "MsiExec.exe /I" PINWHEEL_PRODUCT),
          Sz("DisplayIcon", R"(C:\Program Files\Pinwheel Paint\pinwheel.exe)"),
          Sz("InstallSource", R"(E:\Installers\Pinwheel\)"), Dword("WindowsInstaller", "00000001")}},
        {UNINSTALL "Quillmark Writer",
         {Sz("DisplayName", "Quillmark Writer 5"), Sz("Publisher", "Quillmark"),
          Sz("UninstallString", R"(C:\Program Files\Quillmark Writer\uninst.exe -u)"),
          Sz("DisplayIcon", R"(C:\Program Files\Quillmark Writer\quillmk.exe,0)"),
          Sz("HelpLink", "http://support.quillmark.example/")}},
        {UNINSTALL "Tidewater Media Player",
         {Sz("DisplayName", "Tidewater Media Player 2.4"), Sz("Publisher", "Tidewater Labs"),
          Sz("UninstallString", R"(C:\WINDOWS\twuninst.exe C:\Program Files\Tidewater Media\uninstall.log)"),
          Sz("QuietUninstallString", R"(rundll32.exe C:\Program Files\Tidewater Media\twsetup.dll,Uninstall)")}},
        {UNINSTALL STARGAZE_PRODUCT,
         {Sz("DisplayName", "Stargaze Portable 2.0"), Sz("UninstallString", "MsiExec.exe /X" STARGAZE_PRODUCT),
          Sz("DisplayIcon", R"(C:\WINDOWS\Installer\)" STARGAZE_PRODUCT R"(\sgicon.exe)")}},

        // Virtual device drivers.
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\VirtualDeviceDrivers",
         {Multi("VDD", R"(C:\WINDOWS\system32\sndvdd32.dll)"), Sz("PortVdd", "portvdd.dll"),
          Sz("TidewaterVdd", R"(C:\WINDOWS\system32\twvdd.dll)"), Sz("PadlinkVdd", "plvdd.dll")}},

        // Fonts (the Windows NT key).
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
         {Sz("Harbor Sans (TrueType)", "harbor.ttf"), Sz("Harbor Sans Bold (TrueType)", "harborbd.ttf"),
          Sz("Fixedline (TrueType)", "fixline.ttf"), Sz("Serife 10,12,15", "serife.fon"),
          Sz("Lumenfold Symbols (TrueType)", R"(C:\Program Files\Lumenfold\Fonts\lfsym.ttf)"),
          Sz("Tidewater Display (TrueType)", "twdisp.ttf"),
          Sz("Quillmark Serif (TrueType)", R"(C:\Program Files\Quillmark Writer\Fonts\qmserif.ttf)")}},

        // Ordinary application settings.
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumenfold\\Viewer\\3.1",
         {Sz("InstallDir", R"(C:\Program Files\Lumenfold)"), Dword("Language", "00000409")}},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Pinwheel\\Paint",
         {Sz("Version", "3.2.0"), Sz("BrushFolder", R"(C:\Program Files\Pinwheel Paint\brushes)")}},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Writer\\5.0", {Sz("InstallPath", R"(C:\Program Files\Quillmark Writer)")}},
        {"HKEY_CURRENT_USER\\Software\\Lumenfold\\Viewer\\Recent",
         {Sz("File1", R"(C:\Documents and Settings\Alex\My Documents\harbor.lfv)"), Dword("MaxFiles", "00000008")}},
        {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
         {Sz("Desktop", R"(C:\Documents and Settings\Alex\Desktop)"),
          Sz("Programs", R"(C:\Documents and Settings\Alex\Start Menu\Programs)")}},
        {"HKEY_CURRENT_USER\\Control Panel\\Desktop", {Sz("Wallpaper", R"(C:\WINDOWS\harbor.bmp)"), Sz("TileWallpaper", "0")}},
    };
    return table;
}

#undef LUMENFOLD_VIEWER
#undef LUMENFOLD_PROPS
#undef PINWHEEL_DOCUMENT
#undef THUMBNAIL_HELPER
#undef MEDIA_EXTENSION
#undef STARGAZE_VIEW
#undef QUILLMARK_SPELLER
#undef VIGEX_CODEC
#undef TIDEWATER_FILTER
#undef STARGAZE_SHELL
#undef PINWHEEL_PRODUCT
#undef STARGAZE_PRODUCT
#undef HKCR
#undef MACHINE_CLSID
#undef USER_CLSID
#undef CURRENT_VERSION
#undef APP_PATHS
#undef UNINSTALL
#undef SHARED_TOOLS
#undef MENU_ORDER

// What a scan of the registry above records, section by section.
constexpr std::string_view kCom = "ActiveX \\ COM";
constexpr std::string_view kComSub = "ActiveX \\ COM Subsections";
constexpr std::string_view kHkcr = "HKEY_CLASSES_ROOT";
constexpr std::string_view kHkcu = "HKEY_CURRENT_USER";
constexpr std::string_view kHklm = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kDefault = "(Default)";

constexpr PlantedProblem kPlanted[] = {
    {kCom, kHkcr, R"(CLSID\{4C3B9E70-1F2A-4B8D-95E6-A7D04C18B35F}\InprocServer32)", kDefault,
     R"(C:\Program Files\Quillmark Writer\qmspell.dll)", false},
    {kCom, kHkcr, R"(CLSID\{9E0D5A14-6B37-4C2F-8D91-F3A6B27C0E48}\InprocServer32)", kDefault,
     R"(C:\WINDOWS\system32\vgxcodec.dll)", true},
    {kCom, kHkcr, R"(CLSID\{1B6E4F29-D805-4A73-B2C9-5E7A013D8F66}\InprocServer32)", kDefault,
     R"(C:\WINDOWS\System32\twfilter.ax)", false},
    {kCom, kHkcr, R"(CLSID\{7D2A9B05-E1C4-4F38-A70B-2C95E6D148F3}\InprocServer32)", kDefault,
     R"(C:\Documents and Settings\Alex\Application Data\Stargaze\sgshell.dll)", false},

    {kComSub, kHklm, R"(SOFTWARE\Classes\CLSID\{4C3B9E70-1F2A-4B8D-95E6-A7D04C18B35F}\InprocServer32)", kDefault,
     R"(C:\Program Files\Quillmark Writer\qmspell.dll)", false},
    {kComSub, kHklm, R"(SOFTWARE\Classes\CLSID\{9E0D5A14-6B37-4C2F-8D91-F3A6B27C0E48}\InprocServer32)", kDefault,
     R"(C:\WINDOWS\system32\vgxcodec.dll)", true},
    {kComSub, kHklm, R"(SOFTWARE\Classes\CLSID\{1B6E4F29-D805-4A73-B2C9-5E7A013D8F66}\InprocServer32)", kDefault,
     R"(C:\WINDOWS\System32\twfilter.ax)", false},

    {"Application Paths", kHklm, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\quillmk.exe)", kDefault,
     R"(C:\Program Files\Quillmark Writer\quillmk.exe)", false},
    {"Application Paths", kHklm, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\stargaze.exe)", kDefault,
     R"(E:\Apps\Stargaze\stargaze.exe)", false},
    {"Application Paths", kHklm, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\twplayer.exe)", kDefault,
     R"(C:\Program Files\Tidewater Media\twplayer.exe)", false},

    {"Help Files", kHklm, R"(SOFTWARE\Microsoft\Windows\Help)", "quillmk.hlp",
     R"(C:\Program Files\Quillmark Writer\Help\quillmk.hlp)", false},
    {"Help Files", kHklm, R"(SOFTWARE\Microsoft\Windows\HTML Help)", "twplayer.chm",
     R"(C:\Program Files\Tidewater Media\twplayer.chm)", false},

    {"Microsoft Shared", kHklm, R"(SOFTWARE\Microsoft\Shared Tools\Formula Composer)", "Path",
     R"(C:\Program Files\Common Files\Microsoft Shared\Formula\fcomp.exe)", false},
    {"Microsoft Shared", kHklm, R"(SOFTWARE\Microsoft\Shared Tools\Proofing Engine\1033)", "Engine",
     R"(C:\WINDOWS\system32\prfeng32.dll)", true},

    {"Windows Startup", kHklm, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Run\OptionalComponents\Tidewater Media)",
     "Command", R"(C:\Program Files\Tidewater Media\twtray.exe)", false},
    {"Windows Startup", kHkcu,
     R"(Software\Microsoft\Windows\CurrentVersion\Explorer\MenuOrder\Start Menu\Programs\Quillmark Writer)",
     "Launcher", R"(C:\Program Files\Quillmark Writer\qmstart.exe)", false},

    {"Uninstall Section", kHklm, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quillmark Writer)",
     "UninstallString", R"(C:\Program Files\Quillmark Writer\uninst.exe)", false},
    {"Uninstall Section", kHklm, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quillmark Writer)",
     "DisplayIcon", R"(C:\Program Files\Quillmark Writer\quillmk.exe)", false},
    {"Uninstall Section", kHklm, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tidewater Media Player)",
     "UninstallString", R"(C:\Program Files\Tidewater Media\uninstall.log)", false},
    {"Uninstall Section", kHklm, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tidewater Media Player)",
     "QuietUninstallString", R"(C:\Program Files\Tidewater Media\twsetup.dll)", false},
    {"Uninstall Section", kHklm,
     R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{C0F47B12-9A3E-4D65-8B27-E14D6A0C95B3})", "DisplayIcon",
     R"(C:\WINDOWS\Installer\{C0F47B12-9A3E-4D65-8B27-E14D6A0C95B3}\sgicon.exe)", false},

    {"VxD Section", kHklm, R"(SYSTEM\CurrentControlSet\Control\VirtualDeviceDrivers)", "TidewaterVdd",
     R"(C:\WINDOWS\system32\twvdd.dll)", false},
    {"VxD Section", kHklm, R"(SYSTEM\CurrentControlSet\Control\VirtualDeviceDrivers)", "PadlinkVdd",
     R"(C:\WINDOWS\system32\plvdd.dll)", true},

    {"Windows Fonts", kHklm, R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts)", "Tidewater Display (TrueType)",
     R"(C:\WINDOWS\Fonts\twdisp.ttf)", false},
    {"Windows Fonts", kHklm, R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts)", "Quillmark Serif (TrueType)",
     R"(C:\Program Files\Quillmark Writer\Fonts\qmserif.ttf)", false},
};

// ---------------------------------------------------------------------------
// Drives

// Files of the demo drives, as Windows paths. Each holds a line naming it.
constexpr std::string_view kFiles[] = {
    R"(C:\boot.ini)",
    R"(C:\WINDOWS\win.ini)",
    R"(C:\WINDOWS\system.ini)",
    R"(C:\WINDOWS\explorer.exe)",
    R"(C:\WINDOWS\regedit.exe)",
    R"(C:\WINDOWS\harbor.bmp)",
    R"(C:\WINDOWS\twuninst.exe)",
    R"(C:\WINDOWS\Help\sysdiag.hlp)",
    R"(C:\WINDOWS\Help\windiag.chm)",
    R"(C:\WINDOWS\Fonts\harbor.ttf)",
    R"(C:\WINDOWS\Fonts\harborbd.ttf)",
    R"(C:\WINDOWS\Fonts\fixline.ttf)",
    R"(C:\WINDOWS\Fonts\serife.fon)",
    R"(C:\WINDOWS\Media\chimes.wav)",
    R"(C:\WINDOWS\inf\lumenfold.inf)",
    R"(C:\WINDOWS\Installer\pinwheel.msi)",
    R"(C:\WINDOWS\system32\kernel32.dll)",
    R"(C:\WINDOWS\system32\user32.dll)",
    R"(C:\WINDOWS\system32\msiexec.exe)",
    R"(C:\WINDOWS\system32\rundll32.exe)",
    R"(C:\WINDOWS\system32\thmbhlp.dll)",
    R"(C:\WINDOWS\system32\mediaext.dll)",
    R"(C:\WINDOWS\system32\pwrpanel.exe)",
    R"(C:\WINDOWS\system32\sysdiag.exe)",
    R"(C:\WINDOWS\system32\lfrt32.dll)",
    R"(C:\WINDOWS\system32\portvdd.dll)",
    R"(C:\WINDOWS\system32\sndvdd32.dll)",
    R"(C:\WINDOWS\system32\drivers\etc\hosts)",
    R"(C:\Program Files\Lumenfold\lumenfold.exe)",
    R"(C:\Program Files\Lumenfold\lfview.ocx)",
    R"(C:\Program Files\Lumenfold\lfprops.dll)",
    R"(C:\Program Files\Lumenfold\lfagent.exe)",
    R"(C:\Program Files\Lumenfold\unins000.exe)",
    R"(C:\Program Files\Lumenfold\unins000.dat)",
    R"(C:\Program Files\Lumenfold\Help\lumenfold.hlp)",
    R"(C:\Program Files\Lumenfold\Fonts\lfsym.ttf)",
    R"(C:\Program Files\Pinwheel Paint\pinwheel.exe)",
    R"(C:\Program Files\Pinwheel Paint\pinwheel.chm)",
    R"(C:\Program Files\Pinwheel Paint\pwsetup.dll)",
    R"(C:\Program Files\Pinwheel Paint\brushes\default.pwb)",
    R"(C:\Program Files\Common Files\Microsoft Shared\Graph\grapheng.exe)",
    R"(C:\Program Files\Common Files\Microsoft Shared\TextConv\rtfimp32.cnv)",
    R"(C:\Documents and Settings\Alex\My Documents\harbor.lfv)",
    R"(C:\Documents and Settings\Alex\Application Data\Lumenfold\viewer.ini)",
    R"(C:\Documents and Settings\Alex\Application Data\Proof\custom.dic)",
    R"(E:\Apps\Stargaze\readme.txt)",
    R"(E:\Apps\Stargaze\sgnotify.exe)",
    R"(E:\Installers\Pinwheel\setup.exe)",
};

// Folders that hold no file of their own.
constexpr std::string_view kEmptyFolders[] = {
    kProgramFolder, kTempFolder, kUserDesktop, kUserPrograms, kPublicDesktop, kPublicPrograms,
    R"(C:\Documents and Settings\Alex\Favorites)",
};

// ---------------------------------------------------------------------------
// Shortcuts

#define ALEX R"(C:\Documents and Settings\Alex\)"
#define ALL_USERS R"(C:\Documents and Settings\All Users\)"

constexpr PlantedShortcut kShortcuts[] = {
    {ALEX R"(Desktop\Pinwheel Paint.lnk)", R"(C:\Program Files\Pinwheel Paint\pinwheel.exe)", false},
    {ALEX R"(Desktop\Quillmark Writer.lnk)", R"(C:\Program Files\Quillmark Writer\quillmk.exe)", true},
    {ALEX R"(Desktop\My Computer.lnk)", "", false},
    {ALEX R"(Start Menu\Programs\Tidewater Media\Tidewater Player.lnk)",
     R"(C:\Program Files\Tidewater Media\twplayer.exe)", true},
    {ALEX R"(Start Menu\Programs\Lumenfold\Lumenfold Viewer.lnk)", R"(C:\Program Files\Lumenfold\lumenfold.exe)",
     false},
    {ALEX R"(Start Menu\Programs\Accessories\Explorer.lnk)", R"(%SystemRoot%\explorer.exe)", false},
    {ALEX R"(Favorites\Old Notes.url)", R"(C:\Documents and Settings\Alex\My Documents\old notes.txt)", true},
    {ALEX R"(Favorites\Pinwheel Website.url)", "http://www.example.com/pinwheel/", false},
    {ALL_USERS R"(Desktop\Stargaze.lnk)", R"(E:\Apps\Stargaze\stargaze.exe)", false},
    {ALL_USERS R"(Desktop\Team Reports.lnk)", R"(\\fileserver\team\reports.lfv)", false},
    {ALL_USERS R"(Start Menu\Programs\Harbor Font Viewer.lnk)", R"(%SystemRoot%\Fonts\harborvw.exe)", true},
};

#undef ALEX
#undef ALL_USERS

// The bytes of one demo shortcut, written as the shell writes them.
std::string ShortcutBytes(const PlantedShortcut& shortcut) {
    const std::string path(shortcut.path);
    const std::string target(shortcut.target);
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".url") == 0) {
        return tools::MakeInternetShortcut(target.rfind("http", 0) == 0 ? target : tools::FileUrl(target));
    }
    if (target.empty()) return tools::MakeShellLink(tools::LinkToVirtualFolder());
    if (target.rfind("\\\\", 0) == 0) {
        const std::size_t shareEnd = target.find('\\', target.find('\\', 2) + 1);
        return tools::MakeShellLink(tools::LinkToShare(target.substr(0, shareEnd), target.substr(shareEnd + 1)));
    }
    if (target.rfind("%SystemRoot%", 0) == 0) {
        const std::string expanded = std::string(kWindowsFolder) + target.substr(12);
        return tools::MakeShellLink(tools::LinkThroughEnvironment(target, expanded));
    }
    const std::string folder = target.substr(0, target.rfind('\\'));
    tools::ShellLinkShape shape = tools::LinkTo(target, folder);
    if (target[0] == kRemovableDriveLetter) shape.driveType = 2;  // DRIVE_REMOVABLE
    return tools::MakeShellLink(shape);
}

// ---------------------------------------------------------------------------
// Writing

// The host path of a Windows path on a demo drive.
stdfs::path HostPath(const stdfs::path& out, std::string_view windowsPath) {
    stdfs::path host = out / std::string(1, windowsPath[0]);
    std::string_view rest = windowsPath.substr(3);  // after "X:\"
    while (!rest.empty()) {
        std::size_t cut = rest.find('\\');
        host /= std::string(rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    }
    return host;
}

bool WriteFile(const stdfs::path& path, const std::string& bytes, std::string& error) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

bool MakeFolders(const stdfs::path& folder, std::string& error) {
    std::error_code code;
    stdfs::create_directories(folder, code);
    if (code) {
        error = "cannot create " + folder.string() + ": " + code.message();
        return false;
    }
    return true;
}

// A "text" of a .reg file: backslashes and quotes escaped.
std::string Quoted(std::string_view text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') result += '\\';
        result += c;
    }
    return result + "\"";
}

// Bytes as .reg hex: "41,00".
std::string HexBytes(std::string_view bytes) {
    std::string result;
    char pair[4];
    for (unsigned char c : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", c);
        if (!result.empty()) result += ',';
        result += pair;
    }
    return result;
}

std::string ValueLine(const Value& value) {
    std::string line = value.name.empty() ? std::string("@") : Quoted(value.name);
    line += '=';
    switch (value.kind) {
    case Kind::Sz:
        return line + Quoted(value.data);
    case Kind::ExpandSz:
        return line + "hex(2):" + HexBytes(std::string(value.data) + '\0');
    case Kind::MultiSz: {
        std::string strings(value.data);
        for (char& c : strings) {
            if (c == '|') c = '\0';
        }
        return line + "hex(7):" + HexBytes(strings + std::string(2, '\0'));
    }
    case Kind::Dword:
        return line + "dword:" + std::string(value.data);
    case Kind::Binary:
        return line + "hex:" + std::string(value.data);
    }
    return line;
}

std::string RegFileText() {
    std::string text = "REGEDIT4\r\n";
    for (const Key& key : RegistryTable()) {
        text += "\r\n[" + std::string(key.path) + "]\r\n";
        for (const Value& value : key.values) text += ValueLine(value) + "\r\n";
    }
    return text + "\r\n";
}

std::string MarkerText() {
    std::string text =
        "Hivesweep demo system\r\n"
        "\r\n"
        "demo.reg  the registry (REGEDIT4)\r\n"
        "C\\        drive C: (fixed)\r\n"
        "E\\        drive E: (removable)\r\n"
        "\r\n";
    text += "Windows folder  " + std::string(kWindowsFolder) + "\r\n";
    text += "System folder   " + std::string(kSystemFolder) + "\r\n";
    text += "Program folder  " + std::string(kProgramFolder) + "\r\n";
    text += "\r\nThis folder may be rewritten by make_demo: its demo.reg, C and E are replaced.\r\n";
    return text;
}

// Readies outFolder: creates it, or clears an earlier demo out of it.
bool PrepareOutFolder(const stdfs::path& out, std::string& error) {
    std::error_code code;
    const stdfs::file_status status = stdfs::status(out, code);
    if (!stdfs::exists(status)) return MakeFolders(out, error);
    if (!stdfs::is_directory(status)) {
        error = out.string() + " exists and is not a folder";
        return false;
    }
    if (stdfs::is_empty(out, code) && !code) return true;
    if (!stdfs::exists(out / kMarkerFileName, code)) {
        error = out.string() + " is not empty and holds no earlier demo (" + std::string(kMarkerFileName) + ")";
        return false;
    }
    for (std::string_view name : {kRegFileName, kFixedDriveFolder, kRemovableDriveFolder}) {
        stdfs::remove_all(out / name, code);
        if (code) {
            error = "cannot remove " + (out / name).string() + ": " + code.message();
            return false;
        }
    }
    return true;
}

} // namespace

std::span<const PlantedProblem> PlantedProblems() { return kPlanted; }

std::span<const PlantedShortcut> PlantedShortcuts() { return kShortcuts; }

bool WriteDemoSystem(const std::string& outFolder, std::string& error) {
    if (outFolder.empty()) {
        error = "no output folder given";
        return false;
    }
    const stdfs::path out(outFolder);
    if (!PrepareOutFolder(out, error)) return false;
    if (!WriteFile(out / kMarkerFileName, MarkerText(), error)) return false;
    for (std::string_view folder : kEmptyFolders) {
        if (!MakeFolders(HostPath(out, folder), error)) return false;
    }
    for (std::string_view file : kFiles) {
        const stdfs::path host = HostPath(out, file);
        if (!MakeFolders(host.parent_path(), error)) return false;
        const std::string name = host.filename().string();
        if (!WriteFile(host, "Hivesweep demo file " + name + "\r\n", error)) return false;
    }
    for (const PlantedShortcut& shortcut : kShortcuts) {
        const stdfs::path host = HostPath(out, shortcut.path);
        if (!MakeFolders(host.parent_path(), error)) return false;
        if (!WriteFile(host, ShortcutBytes(shortcut), error)) return false;
    }
    return WriteFile(out / kRegFileName, RegFileText(), error);
}

std::vector<PosixDrive> DemoDrives(const std::string& outFolder) {
    const stdfs::path out(outFolder);
    return {
        {kFixedDriveLetter, (out / kFixedDriveFolder).string(), kDriveFixed, true, "SYSTEM"},
        {kRemovableDriveLetter, (out / kRemovableDriveFolder).string(), kDriveRemovable, true, "STICK"},
    };
}

PosixFolders DemoFolders() {
    return {std::string(kSystemFolder), std::string(kWindowsFolder), std::string(kTempFolder),
            std::string(kProgramFolder)};
}

} // namespace hs::demo

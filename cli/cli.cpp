// hivesweep-cli: option parsing, the console host and the commands.
#include "cli/cli.h"

#include <chrono>
#include <iostream>
#include <map>
#include <set>

#include "checkers/checkers.h"
#include "cli/machine.h"
#include "platform/ansi_text.h"
#include "platform/reg_text.h"
#include "results/backup_file.h"
#include "results/backup_manager.h"
#include "results/repair.h"
#include "results/restore.h"
#include "results/results_views.h"
#include "results/scan_report.h"
#include "scan/scan_context.h"
#include "scan/scan_driver.h"
#include "scan/section_list.h"

namespace hs::cli {

namespace {

constexpr const char* kUsage =
    "usage: hivesweep-cli [OPTIONS] COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  scan [--section TEXT]... [--format text|json]\n"
    "                      scan the ticked sections (or only the named ones) and list what was found\n"
    "  sections [list | select TEXT... | deselect TEXT... | all | none]\n"
    "                      show or change which sections a scan looks at\n"
    "  settings get KEY | settings set KEY VALUE\n"
    "                      read or store one setting\n"
    "  repair [--section TEXT]... [--yes]\n"
    "                      scan, then repair what was found after backing it up\n"
    "  backups [list | restore NAME... | delete NAME... [--yes]]\n"
    "                      list, restore or delete the backups of earlier repairs\n"
    "\n"
    "Options (before or after the command):\n"
    "  --registry FILE.reg work on this registry file instead of the machine's registry;\n"
    "                      changes are written back to it\n"
    "  --drive L=DIR[:TYPE]  (portable build) a host folder as drive L:; TYPE is fixed (default),\n"
    "                      removable, network, cdrom or ramdisk; repeatable\n"
    "  --windows-folder PATH (portable build) the Windows folder, default C:\\WINDOWS\n"
    "  --config-dir DIR    (portable build) where the settings file lives\n"
    "  --help              this text; COMMAND --help for the command's own\n"
    "\n"
    "Exit codes: 0 nothing found (or done), 1 problems found, 2 bad usage or input, 3 cancelled,\n"
    "4 some problems or records were left unchanged, 5 the question was answered no (nothing changed).\n";

constexpr const char* kScanUsage =
    "usage: hivesweep-cli scan [--section TEXT]... [--format text|json] [OPTIONS]\n"
    "\n"
    "Runs a scan of the ticked sections, or of only the sections named with --section\n"
    "(their list texts, exactly as 'sections list' shows them; the stored choice is kept).\n"
    "Prints the summary rows and then each section's details, or with --format json one\n"
    "JSON object. Writes the scan report when the chkMakeLogFile setting is on.\n"
    "Ctrl+C cancels; the partial results and the report still come out (exit 3).\n";

constexpr const char* kSectionsUsage =
    "usage: hivesweep-cli sections [list | select TEXT... | deselect TEXT... | all | none] [OPTIONS]\n"
    "\n"
    "list (the default) shows every section with its tick and the select-all box;\n"
    "select and deselect tick or untick the named sections; all and none set the\n"
    "select-all box. Every change is stored at once.\n";

constexpr const char* kSettingsUsage =
    "usage: hivesweep-cli settings get KEY | settings set KEY VALUE [OPTIONS]\n"
    "\n"
    "Reads or stores one setting (keys such as chkMakeLogFile, txtLogFile, chkMakeBackUp, txtBackup).\n";

constexpr const char* kRepairUsage =
    "usage: hivesweep-cli repair [--section TEXT]... [--yes] [OPTIONS]\n"
    "\n"
    "Scans as 'scan' does, shows what was found, asks (unless --yes), and repairs every\n"
    "problem: each value or shortcut is written to a backup file (setting txtBackup, the\n"
    "program's folder by default) before it is changed; one whose backup cannot be written\n"
    "is left as it is. Exit 0 when all were repaired, 4 when some were left (the reasons are\n"
    "printed), 3 when the scan was cancelled (nothing is repaired), 5 when the answer was no.\n";

constexpr const char* kBackupsUsage =
    "usage: hivesweep-cli backups [list | restore NAME... | delete NAME... [--yes]] [OPTIONS]\n"
    "\n"
    "list (the default) shows the backup files of the backup folder: name, date, time, size.\n"
    "restore puts back everything the named backups hold, newest change first; a file is\n"
    "deleted once all of it was put back, otherwise it keeps what was not (exit 4).\n"
    "delete removes the named backups after asking (unless --yes). A NAME must be one that\n"
    "'backups list' shows.\n";

struct CommandLine {
    GlobalOptions global;
    std::vector<std::string> words;     // the command and its arguments
    std::vector<std::string> sections;  // scan --section
    std::string format = "text";        // scan --format
    bool formatGiven = false;
    bool yes = false;                   // repair, backups delete: no question
    bool help = false;
};

// Splits "--name=value" and takes the value of "--name value".
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               const std::string& inlineValue, bool hasInline, std::string& value, std::string& error) {
    if (hasInline) {
        value = inlineValue;
        return true;
    }
    if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
    }
    value = args[++i];
    return true;
}

bool Parse(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    bool onlyWords = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyWords || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (arg == "-h") {
                line.help = true;
                continue;
            }
            line.words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyWords = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const bool hasInline = equals != std::string::npos;
        const std::string inlineValue = hasInline ? arg.substr(equals + 1) : std::string();
        std::string value;
        if (name == "--help") {
            line.help = true;
        } else if (name == "--registry") {
            if (!TakeValue(args, i, name, inlineValue, hasInline, line.global.registryFile, error)) return false;
        } else if (name == "--drive") {
            if (!TakeValue(args, i, name, inlineValue, hasInline, value, error)) return false;
            DriveOption drive;
            if (!ParseDriveOption(value, drive, error)) return false;
            line.global.drives.push_back(drive);
        } else if (name == "--windows-folder") {
            if (!TakeValue(args, i, name, inlineValue, hasInline, line.global.windowsFolder, error)) return false;
        } else if (name == "--config-dir") {
            if (!TakeValue(args, i, name, inlineValue, hasInline, line.global.configDir, error)) return false;
        } else if (name == "--yes" && !hasInline) {
            line.yes = true;
        } else if (name == "--section") {
            if (!TakeValue(args, i, name, inlineValue, hasInline, value, error)) return false;
            line.sections.push_back(value);
        } else if (name == "--format") {
            if (!TakeValue(args, i, name, inlineValue, hasInline, line.format, error)) return false;
            if (line.format != "text" && line.format != "json") {
                error = "--format " + line.format + ": expected text or json";
                return false;
            }
            line.formatGiven = true;
        } else {
            error = "unknown option " + name;
            return false;
        }
    }
    return true;
}

// The console as the scan's host: Ctrl+C becomes the cancel action at the
// next yield, and on a terminal one progress line is redrawn on stderr.
class ConsoleHost final : public Host, public ViewSink {
public:
    explicit ConsoleHost(Streams& streams) : streams_(streams) {}

    void Attach(ScanContext* context) { context_ = context; }

    void Yield() override {
        if (context_ != nullptr && InterruptRequested().load() && !context_->state.Cancelled()) {
            // The cancel action without its question.
            context_->state.CancelRequested = kTrue16;
            context_->view.SetCancelButton(false, context_->view.CancelCaption());
        }
        Draw(false);
    }

    std::string AskMessageBox(const std::string&) override { return "YES"; }

    void CaptionChanged(Label, const std::string&) override { Draw(false); }
    void ProgressChanged(std::int32_t) override { Draw(false); }

    // Clears the progress line before the results are printed.
    void Finish() {
        if (drawn_) streams_.err << "\r\033[K" << std::flush;
        drawn_ = false;
    }

private:
    void Draw(bool force) {
        if (!streams_.errIsTerminal || context_ == nullptr || !context_->state.scanRunning) return;
        const auto now = std::chrono::steady_clock::now();
        if (!force && drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
        lastDraw_ = now;
        drawn_ = true;
        const ScanView& view = context_->view;
        const long percent = static_cast<long>(view.ProgressWidth()) * 100 / kProgressFullWidth;
        streams_.err << "\r\033[K" << TrimBlanks(view.Caption(Label::lblStatus)) << "  " << percent << "%  "
                     << view.Caption(Label::lblProblemsFound) << " problem(s) found" << std::flush;
    }

    Streams& streams_;
    ScanContext* context_ = nullptr;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
};

// Everything one command works with.
struct Session {
    Session(Machine& m, Streams& streams)
        : machine(m), host(streams),
          context(*m.registry, *m.settings, host, *m.sound, *m.files) {
        host.Attach(&context);
        context.view.SetSink(&host);
        InstallCheckers(context.checkers);
    }
    Machine& machine;
    ConsoleHost host;
    ScanContext context;
};

// The main window's start: the select-all box from the settings (which
// stores its state), then the list. A scan needs only the list.
void LoadSectionList(ScanContext& context, bool withSelectAllBox) {
    if (withSelectAllBox) RestoreSelectAllBox(context);
    LoadlvwRegistryvaluesScanValues(context);
}

int Fail(Streams& streams, const std::string& message) {
    streams.err << "hivesweep-cli: " << message << "\n";
    return kExitUsage;
}

// Positions of the entries named by texts (exactly); false and the unknown
// text when one names no entry.
bool FindEntries(const SectionList& list, const std::vector<std::string>& texts, std::vector<int>& positions,
                 std::string& unknown) {
    for (const std::string& text : texts) {
        int found = 0;
        for (int p = 1; p <= list.Count() && found == 0; ++p) {
            if (list.At(p)->text == text) found = p;
        }
        if (found == 0) {
            unknown = text;
            return false;
        }
        positions.push_back(found);
    }
    return true;
}

void PrintJson(Streams& streams, ScanContext& context) {
    std::ostream& out = streams.out;
    out << "{\"started\": " << JsonString(context.state.ScanStartTime)
        << ", \"finished\": " << JsonString(context.state.ScanFinishTime)
        << ", \"cancelled\": " << (context.state.Cancelled() ? "true" : "false") << ", \"problems\": [";
    const char* separator = "";
    for (const ProblemRecord& row : context.lvwErrors.Rows()) {
        out << separator << "{\"MainKey\": " << JsonString(row.MainKey) << ", \"KeyName\": " << JsonString(row.KeyName)
            << ", \"KeyValue\": " << JsonString(row.KeyValue)
            << ", \"Registry Scanners\": " << JsonString(row.RegistryScanners)
            << ", \"FullKeyPath\": " << JsonString(row.FullKeyPath)
            << ", \"mainkeyname\": " << JsonString(row.mainkeyname)
            << ", \"DefaultOrNot\": " << JsonString(row.DefaultOrNot) << "}";
        separator = ", ";
    }
    out << "], \"shortcuts\": [";
    separator = "";
    for (const ShortcutProblem& row : context.lvwShortcut.Rows()) {
        out << separator << "{\"path\": " << JsonString(row.path) << ", \"section\": " << JsonString(row.kind) << "}";
        separator = ", ";
    }
    out << "], \"summary\": [";
    separator = "";
    for (const std::string& row : context.results.lvwRegistryProblems.Rows()) {
        out << separator << JsonString(row);
        separator = ", ";
    }
    out << "]}\n";
}

void PrintText(Streams& streams, ScanContext& context) {
    std::ostream& out = streams.out;
    const std::size_t total = context.lvwErrors.Count() + context.lvwShortcut.Count();
    if (context.state.Cancelled()) out << "The scan was cancelled; what it found so far:\n";
    if (total == 0) {
        out << "No problems found.\n";
        return;
    }
    out << "Summary (" << total << " problem(s)):\n";
    const std::vector<std::string> summary = context.results.lvwRegistryProblems.Rows();
    for (const std::string& row : summary) out << "  " << row << "\n";
    for (std::size_t i = 0; i < summary.size(); ++i) {
        lvwRegistryProblems_ItemClick(context, static_cast<int>(i));
        out << "\n" << summary[i] << "\n";
        for (const std::string& detail : context.results.lvwRegistryErrorsDetail.Rows()) {
            out << "  " << detail << "\n";
        }
    }
}

// The Scan Now action for the command line: the section list (or the named
// sections, for this run only), the scan, the progress line cleared. False
// and a usage failure when a named section does not exist.
bool ScanNow(Session& session, CommandLine& line, Streams& streams, int& failure) {
    ScanContext& context = session.context;
    LoadSectionList(context, false);
    if (!line.sections.empty()) {
        std::vector<int> positions;
        std::string unknown;
        if (!FindEntries(context.sections, line.sections, positions, unknown)) {
            failure = Fail(streams, "--section \"" + unknown + "\": no such section (see 'hivesweep-cli sections list')");
            return false;
        }
        // Only for this run: nothing is stored.
        for (SectionEntry& entry : context.sections.entries) entry.checked = false;
        for (int position : positions) context.sections.At(position)->checked = true;
    }
    context.state.scanRunning = true;
    RunScan(context);
    context.state.scanRunning = false;
    session.host.Finish();
    return true;
}

int Scan(Session& session, CommandLine& line, Streams& streams) {
    if (line.words.size() > 1) return Fail(streams, "scan takes no arguments: " + line.words[1]);
    ScanContext& context = session.context;
    int failure = kExitUsage;
    if (!ScanNow(session, line, streams, failure)) return failure;

    if (line.format == "json") {
        PrintJson(streams, context);
    } else {
        PrintText(streams, context);
        if (SettingAsNumber(context.settings.Read("chkMakeLogFile", 0L)).value_or(0) != 0) {
            const std::string report = ScanReportPath(context);
            if (context.files.GetFileAttributes(report, nullptr) != kInvalidFileAttributes) {
                streams.out << "\nScan report: " << report << "\n";
            } else {
                streams.out << "\nThe scan report could not be written to " << report << "\n";
            }
        }
    }
    if (context.state.Cancelled()) return kExitCancelled;
    return context.lvwErrors.Empty() && context.lvwShortcut.Empty() ? kExitClean : kExitProblems;
}

int Sections(Session& session, CommandLine& line, Streams& streams) {
    ScanContext& context = session.context;
    LoadSectionList(context, true);
    const std::string action = line.words.size() > 1 ? line.words[1] : "list";
    const std::vector<std::string> texts(line.words.begin() + std::min<std::size_t>(2, line.words.size()),
                                         line.words.end());
    if (action == "select" || action == "deselect") {
        if (texts.empty()) return Fail(streams, "sections " + action + " needs at least one section text");
        std::vector<int> positions;
        std::string unknown;
        if (!FindEntries(context.sections, texts, positions, unknown)) {
            return Fail(streams, "\"" + unknown + "\": no such section (see 'hivesweep-cli sections list')");
        }
        for (int position : positions) lvwRegistryvaluesScan_ItemCheck(context, position, action == "select");
    } else if (action == "all" || action == "none") {
        if (!texts.empty()) return Fail(streams, "sections " + action + " takes no arguments");
        // The box's action runs even when the box already shows that state.
        context.sections.selectAllState = action == "all" ? kBoxChecked : kBoxUnchecked;
        chkSelectlistviewItems_Click(context);
    } else if (action != "list" || !texts.empty()) {
        return Fail(streams, "sections: unknown action \"" + action + "\" (list, select, deselect, all, none)");
    }
    const int box = context.sections.selectAllState;
    streams.out << "Select all: " << (box == kBoxChecked ? "checked" : box == kBoxMixed ? "mixed" : "unchecked") << "\n";
    for (const SectionEntry& entry : context.sections.entries) {
        streams.out << (entry.checked ? "[x] " : "[ ] ") << entry.text << "\n";
    }
    return kExitClean;
}

int Settings(Session& session, CommandLine& line, Streams& streams) {
    const std::vector<std::string>& w = line.words;
    SettingsStore& settings = session.context.settings;
    if (w.size() == 3 && w[1] == "get") {
        streams.out << settings.Read(w[2], "") << "\n";
        return kExitClean;
    }
    if (w.size() == 4 && w[1] == "set") {
        if (!settings.Write(w[2], w[3])) return Fail(streams, "settings set " + w[2] + ": the setting could not be stored");
        return kExitClean;
    }
    return Fail(streams, "usage: settings get KEY | settings set KEY VALUE");
}

// Asks a yes/no question on the console; only "y" or "yes" is yes, and the
// end of the input is no.
bool Confirm(Streams& streams, const std::string& question) {
    streams.out << question << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(streams.in, answer)) {
        streams.out << "\n";
        return false;
    }
    answer = FoldUpper(TrimBlanks(answer));
    return answer == "Y" || answer == "YES";
}

int Repair(Session& session, CommandLine& line, Streams& streams) {
    if (line.words.size() > 1) return Fail(streams, "repair takes no arguments: " + line.words[1]);
    ScanContext& context = session.context;
    int failure = kExitUsage;
    if (!ScanNow(session, line, streams, failure)) return failure;
    PrintText(streams, context);
    if (context.state.Cancelled()) {
        streams.out << "Nothing was repaired.\n";
        return kExitCancelled;
    }
    const std::size_t total = context.lvwErrors.Count() + context.lvwShortcut.Count();
    if (total == 0) return kExitClean;

    streams.out << "\n";
    if (!line.yes && !Confirm(streams, "Repair these " + std::to_string(total) + " problem(s)?")) {
        streams.out << "Nothing was changed.\n";
        return kExitDeclined;
    }
    const RepairResult result = ImgRepairMouseMove_Click(context);
    streams.out << "Repaired " << result.repaired << " problem(s).";
    if (!result.backupFilePath.empty() && context.files.GetFileAttributes(result.backupFilePath, nullptr) !=
                                             kInvalidFileAttributes) {
        streams.out << " Backup: " << FileNameOfPath(result.backupFilePath) << " in " << BackupFolder(context);
    }
    streams.out << "\n";
    if (result.Complete()) return kExitClean;
    streams.out << RepairIncompleteMessage(result) << "\n";
    return kExitIncomplete;
}

// Backup names as 'backups list' shows them; false and the offending name
// for one that is not there (or could lead out of the backup folder).
bool KnownBackups(ScanContext& context, const std::vector<std::string>& names, std::string& unknown) {
    const std::vector<BackupRow> rows = ListBackups(context);
    for (const std::string& name : names) {
        bool known = name.find_first_of("\\/:") == std::string::npos;
        if (known) {
            known = false;
            for (const BackupRow& row : rows) known = known || row.name == name;
        }
        if (!known) {
            unknown = name;
            return false;
        }
    }
    return true;
}

const char* OutcomeText(RestoredLine::Outcome outcome) {
    switch (outcome) {
    case RestoredLine::Outcome::kRestored: return "restored";
    case RestoredLine::Outcome::kFailed: return "failed";
    case RestoredLine::Outcome::kRefused: return "refused";
    case RestoredLine::Outcome::kHeldBack: return "held back";
    }
    return "";
}

int Backups(Session& session, CommandLine& line, Streams& streams) {
    ScanContext& context = session.context;
    const std::string action = line.words.size() > 1 ? line.words[1] : "list";
    const std::vector<std::string> names(line.words.begin() + std::min<std::size_t>(2, line.words.size()),
                                         line.words.end());
    if (action == "list") {
        if (!names.empty()) return Fail(streams, "backups list takes no arguments");
        const std::vector<BackupRow> rows = ListBackups(context);
        if (rows.empty()) streams.out << "No backups in " << BackupFolder(context) << "\n";
        for (const BackupRow& row : rows) {
            streams.out << row.name << "\t" << row.date << "\t" << row.time << "\t" << row.size << " bytes\n";
        }
        return kExitClean;
    }
    if (action != "restore" && action != "delete") {
        return Fail(streams, "backups: unknown action \"" + action + "\" (list, restore, delete)");
    }
    if (names.empty()) return Fail(streams, "backups " + action + " needs at least one backup name (see 'backups list')");
    std::string unknown;
    if (!KnownBackups(context, names, unknown)) {
        return Fail(streams, "\"" + unknown + "\": no such backup in " + BackupFolder(context) +
                                 " (see 'hivesweep-cli backups list')");
    }

    if (action == "delete") {
        if (!line.yes && !Confirm(streams, "Delete " + std::to_string(names.size()) + " backup file(s)?")) {
            streams.out << "Nothing was deleted.\n";
            return kExitDeclined;
        }
        const std::vector<BackupStep> steps = DeleteBackups(context, names);
        int code = kExitClean;
        for (std::size_t i = 0; i < steps.size() && i < names.size(); ++i) {
            if (steps[i].ok) {
                streams.out << "Deleted " << names[i] << "\n";
            } else {
                streams.out << "Could not delete " << names[i] << ": " << steps[i].reason << "\n";
                code = kExitIncomplete;
            }
        }
        return code;
    }

    int code = kExitClean;
    for (const RestoreFileResult& file : RestoreBackups(context, names)) {
        const std::string name = FileNameOfPath(file.path);
        streams.out << name << ": " << file.Restored() << " record(s) restored";
        if (file.complete) {
            streams.out << "; the backup is used up and deleted\n";
            continue;
        }
        code = kExitIncomplete;
        streams.out << ", " << file.NotRestored() << " not";
        if (!file.error.empty()) streams.out << " (" << file.error << ")";
        streams.out << "; the backup keeps what was not restored\n";
        for (const RestoredLine& record : file.lines) {
            if (record.outcome == RestoredLine::Outcome::kRestored) continue;
            streams.out << "  line " << record.line << ", " << record.target << ": " << OutcomeText(record.outcome)
                        << (record.reason.empty() ? "" : ": " + record.reason) << "\n";
        }
    }
    return code;
}

} // namespace

std::atomic<bool>& InterruptRequested() {
    static std::atomic<bool> requested{false};
    return requested;
}

std::string JsonString(const std::string& ansiText) {
    const std::string utf8 = AnsiToUtf8(ansiText);
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t code = 0;
        const std::size_t length = DecodeUtf8(utf8, i, code);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        switch (code) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (code < 0x20) {
                static const char kHex[] = "0123456789abcdef";
                out += "\\u00";
                out += kHex[code >> 4];
                out += kHex[code & 0xF];
            } else {
                out.append(utf8, i, length);
            }
        }
        i += length;
    }
    out += "\"";
    return out;
}

int Run(const std::vector<std::string>& args, Streams& streams) {
    CommandLine line;
    std::string error;
    if (!Parse(args, line, error)) return Fail(streams, error + " (see --help)");

    const std::string command = line.words.empty() ? "" : line.words.front();
    static const std::map<std::string, const char*> kHelp = {
        {"scan", kScanUsage},     {"sections", kSectionsUsage}, {"settings", kSettingsUsage},
        {"repair", kRepairUsage}, {"backups", kBackupsUsage}};
    if (line.help) {
        const auto found = kHelp.find(command);
        streams.out << (found != kHelp.end() ? found->second : kUsage);
        return kExitClean;
    }
    if (command.empty()) {
        streams.err << kUsage;
        return kExitUsage;
    }
    if (kHelp.find(command) == kHelp.end()) return Fail(streams, "unknown command \"" + command + "\" (see --help)");
    if (command != "scan" && line.formatGiven) return Fail(streams, "--format belongs to the scan command");
    if (command != "scan" && command != "repair" && !line.sections.empty()) {
        return Fail(streams, "--section belongs to the scan and repair commands");
    }
    if (command != "repair" && command != "backups" && line.yes) {
        return Fail(streams, "--yes belongs to the repair and backups commands");
    }

    Machine machine;
    if (!BuildMachine(line.global, machine, error)) return Fail(streams, error);
    int code = kExitUsage;
    {
        Session session(machine, streams);
        if (command == "scan") code = Scan(session, line, streams);
        else if (command == "sections") code = Sections(session, line, streams);
        else if (command == "repair") code = Repair(session, line, streams);
        else if (command == "backups") code = Backups(session, line, streams);
        else code = Settings(session, line, streams);
    }
    if (!SaveRegistryFile(machine, error)) {
        streams.err << "hivesweep-cli: " << error << "\n";
        if (code == kExitClean) code = kExitUsage;
    }
    return code;
}

} // namespace hs::cli

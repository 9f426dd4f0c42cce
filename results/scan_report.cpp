// The scan report.
#include "results/scan_report.h"

#include "scan/scan_context.h"
#include "settings/settings_store.h"

namespace hs {

namespace {

constexpr const char* kLineEnd = "\r\n";

// The two notice lines at the report's end.
constexpr const char* kProductNotice = "Hivesweep v6.0 finds and repairs registry entries and shortcuts that point at missing files.";
constexpr const char* kSupportNotice = "For help and support, open Help from the Hivesweep window.";

std::string Repeat(std::string_view piece, int times) {
    std::string text;
    text.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

std::string Blanks(int count) {
    return std::string(static_cast<std::size_t>(count), ' ');
}

// Every item is its text followed by CR LF.
class ReportWriter {
public:
    void Item(std::string_view text) {
        bytes_ += text;
        bytes_ += kLineEnd;
    }
    std::string Take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

} // namespace

std::string ScanReportPath(ScanContext& context) {
    return context.settings.Read("txtLogFile", context.files.ProgramFolder()) + "\\" + kReportFileName;
}

std::string ScanReportText(ScanContext& context) {
    const std::string product(kAppName);
    Clock& clock = context.Time();
    ReportWriter report;

    report.Item(Repeat("<>", 63));
    report.Item(Blanks(21) + product + " Report." + Blanks(19));
    report.Item(Repeat("<>", 63));
    report.Item(Blanks(75) + "Created on : " + clock.ShortDateText(clock.Now()));
    report.Item(kLineEnd);
    report.Item(product + " started scanning your system registry at " + context.state.ScanStartTime +
                " and finished scanning at " + context.state.ScanFinishTime);
    report.Item("\r");
    report.Item("Total numbers of problems detected : " +
                std::to_string(context.lvwErrors.Count() + context.lvwShortcut.Count()));
    report.Item("\r");
    report.Item("\r");
    report.Item(" Sections scanned.");
    report.Item(Repeat("~", 124));
    for (std::size_t i = 0; i < context.sections.entries.size(); ++i) {
        if (context.sections.entries[i].checked) report.Item(" >>>> " + context.sections.entries[i].text);
        context.host.Yield();
    }
    report.Item(Repeat("~", 124));
    report.Item(kLineEnd);

    report.Item(Repeat("<>", 60));
    if (context.lvwErrors.Empty() && context.lvwShortcut.Empty()) {
        report.Item(Blanks(27) + "Your system is clean Please run " + product + " to keep your system in good health");
    } else {
        report.Item(Blanks(27) + "Registry Section Defected In Detail");
    }
    report.Item(Repeat("<>", 60));

    for (std::size_t number = 1; number <= context.lvwErrors.Count(); ++number) {
        const ProblemRecord& row = context.lvwErrors.At(number);
        report.Item(kLineEnd);
        report.Item(Repeat("*", 117));
        report.Item(" Name of Section : " + row.RegistryScanners);
        report.Item(" File Name       : " + row.KeyValue);
        report.Item(" Registry Path   : " + row.FullKeyPath);
        report.Item(Repeat("*", 117));
        report.Item(kLineEnd);
        context.host.Yield();
    }
    for (std::size_t number = 1; number <= context.lvwShortcut.Count(); ++number) {
        const ShortcutProblem& row = context.lvwShortcut.At(number);
        report.Item(kLineEnd);
        report.Item(Repeat("*", 90));
        report.Item(" Name of Section : " + row.kind);
        report.Item(" File Name       : " + row.path);
        report.Item(Repeat("*", 90));
        report.Item(kLineEnd);
        context.host.Yield();
    }

    report.Item(kLineEnd);
    report.Item(Repeat("<", 61) + " End of Report " + Repeat(">", 46));
    report.Item(kProductNotice);
    report.Item(kSupportNotice);
    report.Item("");
    return report.Take();
}

bool MakeScanReport(ScanContext& context) {
    if (SettingAsNumber(context.settings.Read("chkMakeLogFile", 0L)).value_or(0) == 0) return false;
    const std::string path = ScanReportPath(context);
    if (context.files.GetFileAttributes(path, nullptr) != kInvalidFileAttributes) {
        (void)context.files.DeleteFile(path, nullptr);
    }
    const std::string text = ScanReportText(context);
    // Written in one piece: a report is either all there or not replaced
    // by a torn one.
    return context.files.WriteNewFile(path, text, nullptr);
}

void ImgReturnMouseMove_Click(ScanContext& context) {
    MainPanels& panels = context.panels;
    panels.PicResults = false;
    panels.PicScanning = false;
    panels.FrameRegistryProblemsDetails = false;
    panels.FrameScanning = false;
    panels.FrameScanSettingShelidButton = true;
    const std::string path = ScanReportPath(context);
    panels.cmdShowLogEnabled = context.files.GetFileAttributes(path, nullptr) != kInvalidFileAttributes;
}

} // namespace hs

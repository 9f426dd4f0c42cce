// Repair and restore, timed per problem.
#include "bench/bench_repair.h"

#include "bench/bench_session.h"
#include "results/repair.h"
#include "results/restore.h"
#include "scan/scan_driver.h"

namespace hs::bench {
namespace {

// Keeps the first count rows of a list.
template <typename Row>
void KeepFirst(ProblemList<Row>& list, std::size_t count) {
    if (list.Count() <= count) return;
    std::vector<Row> rows(list.Rows().begin(), list.Rows().begin() + static_cast<std::ptrdiff_t>(count));
    list.Clear();
    for (Row& row : rows) list.Add(std::move(row));
}

} // namespace

void MeasureRepair(BenchPlatform& platform, ProbeFileSystem& files, std::size_t maxProblems, int rounds,
                   Table& table) {
    NullHost host;
    Session session(platform.Reg(), files, host, true);
    ScanContext& context = session.context;
    static_cast<void>(session.settings.Write("chkMakeBackUp", "1"));
    static_cast<void>(session.settings.Write("txtBackup", platform.BackupFolder()));

    std::vector<double> repairEach, restoreEach;
    std::size_t registryRows = 0, shortcutRows = 0, before = 0, after = 0;
    bool complete = true;
    platform.MarkChanging(true);
    for (int round = 0; round < rounds; ++round) {
        session.TickSections();
        RunScan(context);
        before = context.lvwErrors.Count() + context.lvwShortcut.Count();
        const std::size_t registryShare = std::min(context.lvwErrors.Count(), maxProblems);
        KeepFirst(context.lvwErrors, registryShare);
        KeepFirst(context.lvwShortcut, maxProblems - registryShare);
        registryRows = context.lvwErrors.Count();
        shortcutRows = context.lvwShortcut.Count();
        const std::size_t problems = registryRows + shortcutRows;
        if (problems == 0) break;

        RepairResult repaired;
        const double repairTime = Seconds([&] { repaired = RepairProblems(context); });
        RestoreFileResult restored;
        const double restoreTime = Seconds([&] { restored = RestoreBackupFile(context, repaired.backupFilePath); });
        complete = complete && repaired.Complete() && restored.complete;
        repairEach.push_back(repairTime / static_cast<double>(problems));
        restoreEach.push_back(restoreTime / static_cast<double>(problems));
    }
    // What the restore put back is found again.
    session.TickSections();
    RunScan(context);
    after = context.lvwErrors.Count() + context.lvwShortcut.Count();
    const bool intact = complete && after == before;
    if (intact) platform.MarkChanging(false);

    if (repairEach.empty()) {
        table.Add({"repair", "repair with backups, per problem", "-", "no problems to repair", "-"});
        return;
    }
    const std::string what = " (" + std::to_string(registryRows) + " registry + " + std::to_string(shortcutRows) +
                             " shortcut problems, " + std::to_string(repairEach.size()) + " rounds)";
    table.Add({"repair", "repair with backups, per problem", "-", Ms(Median(repairEach)) + what, "-"});
    table.Add({"restore", "restore of its backup file, per problem", "-", Ms(Median(restoreEach)), "-"});
    table.Add({"restore-check", "  every repaired problem back after the restore", "all back",
               std::to_string(after) + " of " + std::to_string(before) + " problems found again",
               Verdict(intact)});
}

} // namespace hs::bench

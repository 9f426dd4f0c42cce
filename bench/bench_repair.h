// The repair with backups on, and the restore of its backup file, per
// problem.
#pragma once

#include <cstddef>

#include "bench/bench_platform.h"
#include "bench/bench_table.h"
#include "bench/floor.h"

namespace hs::bench {

// Scans, repairs up to maxProblems of the problems found (registry and
// shortcut problems alike) with backups on, and restores the backup file, in
// rounds; adds the rows of the repair and the restore, and a check that the
// restore brought back every problem.
void MeasureRepair(BenchPlatform& platform, ProbeFileSystem& files, std::size_t maxProblems, int rounds,
                   Table& table);

} // namespace hs::bench

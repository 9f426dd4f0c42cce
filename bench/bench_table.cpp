// The benchmark's table and number formats.
#include "bench/bench_table.h"

namespace hs::bench {

std::string Number(const char* pattern, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

std::string Ms(double seconds) {
    if (seconds >= 10) return Number("%.1f s", seconds);
    if (seconds < 0.001) return Number("%.0f us", seconds * 1e6);
    if (seconds < 0.01) return Number("%.1f ms", seconds * 1000);
    return Number("%.0f ms", seconds * 1000);
}

std::string Mb(double bytes) {
    if (bytes >= 1024.0 * 1024) return Number("%.1f MB", bytes / 1024 / 1024);
    return Number("%.0f KB", bytes / 1024);
}

void Table::Print(bool tsv, const std::string& header) const {
    if (tsv) {
        for (const Row& row : rows_) {
            std::printf("row\t%s\t%s\t%s\t%s\t%s\n", row.id.c_str(), row.measure.c_str(), row.goal.c_str(),
                        row.value.c_str(), row.verdict.c_str());
        }
        std::fflush(stdout);
        return;
    }
    std::printf("\n%s\n\n", header.c_str());
    std::size_t widths[3] = {7, 4, 5};
    for (const Row& row : rows_) {
        widths[0] = std::max(widths[0], row.measure.size());
        widths[1] = std::max(widths[1], row.goal.size());
        widths[2] = std::max(widths[2], row.value.size());
    }
    const auto line = [&](const std::string& a, const std::string& b, const std::string& c, const std::string& d) {
        std::printf("%-*s  %-*s  %-*s  %s\n", static_cast<int>(widths[0]), a.c_str(), static_cast<int>(widths[1]),
                    b.c_str(), static_cast<int>(widths[2]), c.c_str(), d.c_str());
    };
    line("measure", "goal", "value", "verdict");
    for (const Row& row : rows_) line(row.measure, row.goal, row.value, row.verdict);
    std::fflush(stdout);
}

} // namespace hs::bench

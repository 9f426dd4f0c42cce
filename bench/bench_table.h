// The benchmark's table, its number formats, and the surroundings every
// measured scan runs in (a host, a silent sound, settings in memory).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/sound.h"
#include "settings/settings_store.h"

namespace hs::bench {

struct Row {
    std::string id;       // stable name, for scripts/bench to merge the runs of two builds
    std::string measure;
    std::string goal;
    std::string value;
    std::string verdict;  // "ok", "MISSED", or "-" where there is no goal
};

class Table {
public:
    void Add(Row row) { rows_.push_back(std::move(row)); }
    // Either as a table for a person, or one tab-separated line per row.
    void Print(bool tsv, const std::string& header) const;

private:
    std::vector<Row> rows_;
};

inline std::string Verdict(bool met) { return met ? "ok" : "MISSED"; }

inline double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// printf of one number into a string.
std::string Number(const char* pattern, double value);
// A duration: "850 ms", "12.3 s"; below 10 ms with one decimal, below 1 ms in us.
std::string Ms(double seconds);
// A size: "512 KB", "3.4 MB".
std::string Mb(double bytes);

// A host whose yields only count.
class NullHost final : public Host {
public:
    void Yield() override { ++yields; }
    std::string AskMessageBox(const std::string&) override { return "NO"; }
    std::uint64_t yields = 0;
};

class Silence final : public Sound {
public:
    bool PlayAsync(const std::string&) override { return false; }
};

class BenchSettings final : public SettingsStore {
public:
    bool Write(std::string_view key, std::string_view text) override {
        values_[Upper(key)] = std::string(text);
        return true;
    }

protected:
    std::optional<std::string> Get(std::string_view key) const override {
        const auto found = values_.find(Upper(key));
        if (found == values_.end()) return std::nullopt;
        return found->second;
    }

private:
    static std::string Upper(std::string_view text) {
        std::string upper(text);
        for (char& c : upper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return upper;
    }
    std::map<std::string, std::string> values_;
};

} // namespace hs::bench

// A scan context for walker tests: any file system, the stand-in registry,
// and a shell that only notes which files the walk handed over.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/registry_memory.h"
#include "scan/scan_context.h"
#include "shortcuts/shell_links.h"
#include "tests/support/test_host.h"

namespace hs::fakes {

// A shell that only notes which files it was asked about (and lets a test
// act at each one).
class RecordingLinks final : public ShellLinks {
public:
    bool GetItem(const std::string& path, ShellItem&) override {
        paths.push_back(path);
        if (onItem) onItem(path);
        return false;
    }
    bool GetLink(const std::string&, ShellLink&) override { return false; }
    std::vector<std::string> paths;
    std::function<void(const std::string&)> onItem;
};

struct Walk {
    explicit Walk(FileSystem& files) : context(registry, settings, host, sound, files) {
        context.view.SetSink(&sink);
        context.links = &links;
    }
    MemoryRegistry registry;
    MemorySettings settings;
    ScriptedHost host;
    RecordingSound sound;
    RecordingSink sink;
    RecordingLinks links;
    ScanContext context;
};

} // namespace hs::fakes

// Test doubles of the scan's surroundings: a scripted host, a recording view
// sink, a settings store in memory, and a sound port that only records.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/sound.h"
#include "scan/scan_view.h"
#include "settings/settings_store.h"

namespace hs::fakes {

// A host whose yields run scripted actions: "at the 40th yield, press
// Cancel". Questions are answered from a queue ("NO" once it is empty).
class ScriptedHost : public Host {
public:
    void Yield() override;
    std::string AskMessageBox(const std::string& messageBoxText) override;

    // Runs action at the yield with this 1-based number.
    void At(int yieldNumber, std::function<void()> action) { actions_.emplace(yieldNumber, std::move(action)); }
    void Answer(std::string answer) { answers_.push_back(std::move(answer)); }

    int yields = 0;
    std::vector<std::string> questions;

private:
    std::multimap<int, std::function<void()>> actions_;
    std::vector<std::string> answers_;
};

// Records every change the scan shows, in order.
class RecordingSink : public ViewSink {
public:
    void CaptionChanged(Label label, const std::string& caption) override;
    void HighlightChanged(int position, bool highlighted) override;

    // The captions one label showed, in order.
    std::vector<std::string> Captions(Label label) const;
    std::vector<std::pair<Label, std::string>> captions;
    std::vector<std::pair<int, bool>> highlights;
};

class MemorySettings : public SettingsStore {
public:
    bool Write(std::string_view key, std::string_view text) override;

protected:
    std::optional<std::string> Get(std::string_view key) const override;

private:
    std::map<std::string, std::string> values_;  // by upper-cased key
};

class RecordingSound : public Sound {
public:
    bool PlayAsync(const std::string& path) override {
        played.push_back(path);
        return true;
    }
    std::vector<std::string> played;
};

} // namespace hs::fakes

// Test doubles of the scan's surroundings.
#include "tests/support/test_host.h"

#include "platform/reg_text.h"

namespace hs::fakes {

void ScriptedHost::Yield() {
    ++yields;
    auto [first, last] = actions_.equal_range(yields);
    for (auto it = first; it != last; ++it) it->second();
}

std::string ScriptedHost::AskMessageBox(const std::string& messageBoxText) {
    questions.push_back(messageBoxText);
    if (answers_.empty()) return "NO";
    std::string answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
}

void RecordingSink::CaptionChanged(Label label, const std::string& caption) {
    captions.emplace_back(label, caption);
}

void RecordingSink::HighlightChanged(int position, bool highlighted) {
    highlights.emplace_back(position, highlighted);
}

std::vector<std::string> RecordingSink::Captions(Label label) const {
    std::vector<std::string> shown;
    for (const auto& [l, text] : captions) {
        if (l == label) shown.push_back(text);
    }
    return shown;
}

bool MemorySettings::Write(std::string_view key, std::string_view text) {
    values_[FoldUpper(key)] = std::string(text);
    return true;
}

std::optional<std::string> MemorySettings::Get(std::string_view key) const {
    auto it = values_.find(FoldUpper(key));
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

} // namespace hs::fakes

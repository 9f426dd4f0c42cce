// What a scan shows the user, kept as plain state: the labels of the main
// window, the progress bar, the highlighted section entry, the busy pointer
// and the cancel button. Every change is also told to a sink (the window, the
// console, a test recorder), which may draw it when it likes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace hs {

enum class Label {
    lblStatus,             // status caption
    lblRegistryScan,       // the subkey being entered
    lblRegistryFilesScan,  // the data of the value just read
    lblProblemsFound,      // the problem count
};
inline constexpr int kLabelCount = 4;

inline constexpr std::int32_t kProgressFullWidth = 4275;  // twips

class ViewSink {
public:
    virtual ~ViewSink() = default;
    virtual void CaptionChanged(Label /*label*/, const std::string& /*caption*/) {}
    virtual void ProgressChanged(std::int32_t /*width*/) {}
    virtual void HighlightChanged(int /*position*/, bool /*highlighted*/) {}
    virtual void BusyPointerChanged(bool /*busy*/) {}
    virtual void CancelButtonChanged(bool /*enabled*/, const std::string& /*caption*/) {}
};

class ScanView {
public:
    explicit ScanView(ViewSink* sink = nullptr) : sink_(sink) {}
    void SetSink(ViewSink* sink) { sink_ = sink; }

    const std::string& Caption(Label label) const { return captions_[static_cast<int>(label)]; }
    void SetCaption(Label label, std::string caption);

    std::int32_t ProgressWidth() const { return progressWidth_; }
    void SetProgressWidth(std::int32_t width);

    // The highlighted entry of the section list; 0 for none.
    int Highlighted() const { return highlighted_; }
    void SetHighlight(int position, bool highlighted);

    bool BusyPointer() const { return busy_; }
    void SetBusyPointer(bool busy);

    // cmdCancelOrStop: the class listing runs only while it is enabled.
    bool CancelEnabled() const { return cancelEnabled_; }
    const std::string& CancelCaption() const { return cancelCaption_; }
    void SetCancelButton(bool enabled, std::string caption);

private:
    ViewSink* sink_;
    std::array<std::string, kLabelCount> captions_{};
    std::int32_t progressWidth_ = 0;
    int highlighted_ = 0;
    bool busy_ = false;
    bool cancelEnabled_ = false;
    std::string cancelCaption_ = "Cancel";
};

} // namespace hs

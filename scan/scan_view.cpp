// The scan view's state and its change notices.
#include "scan/scan_view.h"

namespace hs {

void ScanView::SetCaption(Label label, std::string caption) {
    auto& slot = captions_[static_cast<int>(label)];
    slot = std::move(caption);
    if (sink_) sink_->CaptionChanged(label, slot);
}

void ScanView::SetProgressWidth(std::int32_t width) {
    progressWidth_ = width;
    if (sink_) sink_->ProgressChanged(width);
}

void ScanView::SetHighlight(int position, bool highlighted) {
    if (highlighted) highlighted_ = position;
    else if (highlighted_ == position) highlighted_ = 0;
    if (sink_) sink_->HighlightChanged(position, highlighted);
}

void ScanView::SetBusyPointer(bool busy) {
    busy_ = busy;
    if (sink_) sink_->BusyPointerChanged(busy);
}

void ScanView::SetCancelButton(bool enabled, std::string caption) {
    cancelEnabled_ = enabled;
    cancelCaption_ = std::move(caption);
    if (sink_) sink_->CancelButtonChanged(cancelEnabled_, cancelCaption_);
}

} // namespace hs

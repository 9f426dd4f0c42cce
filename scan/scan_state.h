// The program-wide state of the current or last scan.
#pragma once

#include <cstdint>
#include <string>

namespace hs {

// Stored truth values are 16-bit: 0 false, -1 true.
inline constexpr std::int16_t kFalse16 = 0;
inline constexpr std::int16_t kTrue16 = -1;

struct ScanState {
    // Set false when a run starts and when a repair ends; set true by the
    // cancel action. Tested between items by the driver and the walkers.
    std::int16_t CancelRequested = kFalse16;
    // Times of day as text, emptied when a run starts.
    std::string ScanStartTime;
    std::string ScanFinishTime;
    // Growth of the progress bar per section entry, in twips; 0 between runs.
    std::int32_t ProgressStep = 0;
    // True while a run is under way (the Scan Now image is disabled).
    bool scanRunning = false;

    bool Cancelled() const { return CancelRequested != kFalse16; }
};

// The progress step for a section list of the given length: the full bar
// width divided by it, rounded to the nearest integer (a half to the even
// neighbour). 0 for an empty list.
std::int32_t ProgressStepFor(int entryCount);

} // namespace hs

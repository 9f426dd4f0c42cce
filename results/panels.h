// Which parts of the main window are shown or enabled: the panels a scan,
// a repair and the Return button switch between, kept as plain state so that
// every host (window, console, tests) sees the same thing.
#pragma once

#include <cstdint>

namespace hs {

inline constexpr std::int32_t kDeleteProgressWidth = 4275;  // ImgDeleteProgress, twips

struct MainPanels {
    // Frames of the main window.
    bool FrameRegistryProblemsDetails = false;  // results frame
    bool FrameScanning = false;                 // scanning frame
    bool FrameScanSettingShelidButton = true;   // main panel
    // Pictures of the scanning and results panels.
    bool PicResults = false;
    bool PicScanning = false;
    // The repair's label and progress bar.
    bool lblDeletingCourrutpfils = false;
    bool ImgDeleteProgress = false;
    std::int32_t ImgDeleteProgressInside = 0;  // width of the bar's fill, twips
    // The results lists and the buttons of the results panel.
    bool lvwRegistryProblemsVisible = true;
    bool lvwRegistryErrorsDetailVisible = true;
    bool ImgRepairNormalEnabled = true;
    bool ImgReturnNormalEnabled = true;
    // Show Log: enabled only while the report file exists.
    bool cmdShowLogEnabled = false;
};

} // namespace hs

// The Windows host's message pump.
#include <windows.h>

#include "platform/pump_host.h"

namespace hs {

void PumpHost::Yield() {
    if (!gate_.Due(GetTickCount64())) return;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the quit for the main loop to see.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string PumpHost::AskMessageBox(const std::string& messageBoxText) {
    return ask_ ? ask_(messageBoxText) : "NO";
}

} // namespace hs

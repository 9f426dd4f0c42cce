// When a yield is due.
#include "platform/pump_host.h"

namespace hs {

bool PumpGate::Due(std::uint64_t nowMs) {
    if (pumped_ && nowMs - lastMs_ < intervalMs_) return false;
    pumped_ = true;
    lastMs_ = nowMs;
    return true;
}

} // namespace hs

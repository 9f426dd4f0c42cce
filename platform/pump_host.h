// The Windows program's host: a yield gives the message loop a turn, but only
// when some milliseconds have passed since the last one, so that a yield per
// registry value costs almost nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/host.h"

namespace hs {

// Decides when a yield is due: at the first call, then once intervalMs
// have passed since the last due call.
class PumpGate {
public:
    explicit PumpGate(std::uint64_t intervalMs) : intervalMs_(intervalMs) {}
    bool Due(std::uint64_t nowMs);

private:
    std::uint64_t intervalMs_;
    std::uint64_t lastMs_ = 0;
    bool pumped_ = false;
};

// How long a run may go between two turns of the message loop.
inline constexpr std::uint64_t kPumpIntervalMs = 15;

#ifdef _WIN32
// Pumps the thread's pending window messages when due. Questions go to the
// function the window gives it (the program's own message box).
class PumpHost : public Host {
public:
    using AskFn = std::function<std::string(const std::string&)>;
    explicit PumpHost(AskFn ask) : ask_(std::move(ask)) {}
    void Yield() override;
    std::string AskMessageBox(const std::string& messageBoxText) override;

private:
    PumpGate gate_{kPumpIntervalMs};
    AskFn ask_;
};
#endif

} // namespace hs

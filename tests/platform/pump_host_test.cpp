// The pump gate: a turn of the message loop at most every interval.
#include "platform/pump_host.h"

#include <gtest/gtest.h>

namespace hs {
namespace {

TEST(PumpGateTest, DueAtFirstThenOncePerInterval) {
    PumpGate gate(15);
    const std::pair<std::uint64_t, bool> calls[] = {{1000, true},  {1001, false}, {1014, false}, {1015, true},
                                                    {1016, false}, {1100, true},  {1100, false}};
    for (const auto& [now, due] : calls) EXPECT_EQ(due, gate.Due(now)) << "at " << now;
}

} // namespace
} // namespace hs

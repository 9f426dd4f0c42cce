// Scan state helpers.
#include "scan/scan_state.h"

#include "scan/scan_view.h"

namespace hs {

std::int32_t ProgressStepFor(int entryCount) {
    if (entryCount <= 0) return 0;
    std::int32_t quotient = kProgressFullWidth / entryCount;
    std::int32_t twiceRemainder = 2 * (kProgressFullWidth % entryCount);
    if (twiceRemainder > entryCount || (twiceRemainder == entryCount && quotient % 2 != 0)) ++quotient;
    return quotient;
}

} // namespace hs

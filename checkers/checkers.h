// Wiring of the section checkers into the walker's dispatch table.
#pragma once

#include "scan/scan_context.h"

namespace hs {

// Fills every slot of the table with its checker.
void InstallCheckers(DispatchTable& table);

} // namespace hs

// Wiring of the section checkers into the walker's dispatch table.
#include "checkers/checkers.h"

#include "checkers/com_checks.h"
#include "checkers/command_line_checks.h"
#include "checkers/font_help_checks.h"
#include "checkers/install_checks.h"

namespace hs {

void InstallCheckers(DispatchTable& table) {
    table.CheckComEntry = CheckComEntry;
    table.CheckAppPathEntry = CheckAppPathEntry;
    table.CheckHelpFileEntry = CheckHelpFileEntry;
    table.CheckSharedFileEntry = CheckSharedFileEntry;
    table.CheckCommandLineEntry = CheckCommandLineEntry;
    table.CheckUninstallEntry = CheckUninstallEntry;
    table.CheckVxdEntry = CheckVxdEntry;
    table.CheckFontEntry = CheckFontEntry;
}

} // namespace hs

// Field access of problem records by number.
#include "scan/problems.h"

namespace hs {

const std::string& ProblemRecord::Field(int number) const {
    static const std::string kEmpty;
    switch (number) {
    case 0: return MainKey;
    case 1: return KeyName;
    case 2: return KeyValue;
    case 3: return RegistryScanners;
    case 4: return FullKeyPath;
    case 5: return mainkeyname;
    case 6: return DefaultOrNot;
    default: return kEmpty;
    }
}

} // namespace hs

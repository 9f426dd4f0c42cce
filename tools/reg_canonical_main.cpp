// reg_canonical FILE.reg: prints the file's registry contents in canonical
// form (every key, each key's values sorted), for comparing two files.
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/host_files.h"
#include "tools/reg_canonical.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: reg_canonical FILE.reg\n";
        return 2;
    }
    std::string bytes;
    if (hs::ReadWholeFile(argv[1], bytes) != hs::ReadOutcome::kRead) {
        std::cerr << "reg_canonical: " << argv[1] << ": cannot read the file\n";
        return 2;
    }
    std::string error;
    const std::string canonical = hs::tools::CanonicalRegText(bytes, error);
    if (!error.empty()) {
        std::cerr << "reg_canonical: " << argv[1] << ": " << error << "\n";
        return 2;
    }
    std::cout << canonical;
    return 0;
}

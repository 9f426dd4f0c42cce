// make_demo OUT_FOLDER: writes the demo system (registry file and drive
// folders) into OUT_FOLDER.
#include <cstdio>
#include <string>

#include "tools/demo_system.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: make_demo OUT_FOLDER\n");
        return 2;
    }
    std::string error;
    if (!hs::demo::WriteDemoSystem(argv[1], error)) {
        std::fprintf(stderr, "make_demo: %s\n", error.c_str());
        return 2;
    }
    std::printf("make_demo: demo system written to %s\n", argv[1]);
    return 0;
}

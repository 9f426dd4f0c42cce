// hivesweep-cli's entry point: the console, Ctrl+C and the arguments.
#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace {

#ifdef _WIN32
BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    hs::cli::InterruptRequested().store(true);
    return TRUE;
}

void CatchInterrupt() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool ErrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}
#else
void OnInterrupt(int) {
    hs::cli::InterruptRequested().store(true);
}

void CatchInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool ErrIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}
#endif

} // namespace

int main(int argc, char** argv) {
    CatchInterrupt();
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    hs::cli::Streams streams{std::cout, std::cerr, std::cin, ErrIsTerminal()};
    const int code = hs::cli::Run(args, streams);
    std::cout.flush();
    return code;
}

// The command line: hivesweep-cli's commands over the same models the main
// window uses.
#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

namespace hs::cli {

// Exit codes.
inline constexpr int kExitClean = 0;       // nothing found; or the command did its work
inline constexpr int kExitProblems = 1;    // the scan found problems
inline constexpr int kExitUsage = 2;       // bad usage or bad input
inline constexpr int kExitCancelled = 3;   // the scan was cancelled
inline constexpr int kExitIncomplete = 4;  // some problems or records were left unchanged
inline constexpr int kExitDeclined = 5;    // the question was answered no: nothing changed

struct Streams {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    // Progress is drawn on err only when it is a terminal.
    bool errIsTerminal = false;
};

// Runs one command line (without the program name).
int Run(const std::vector<std::string>& args, Streams& streams);

// Set by Ctrl+C; the next yield of a running scan turns it into a cancel.
std::atomic<bool>& InterruptRequested();

// Text as a JSON string: ANSI converted to UTF-8, invalid UTF-8 as U+FFFD,
// the standard escapes, quotes around it.
std::string JsonString(const std::string& ansiText);

} // namespace hs::cli

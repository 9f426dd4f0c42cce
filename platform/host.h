// What a long operation needs from whoever runs it: a turn for the message
// loop, and the answer to a modal question.
//
// The GUI, the command line and the tests are hosts. Scan, repair and restore
// code call Yield wherever the program gives the message loop a turn, and
// never know what it does.
#pragma once

#include <string>

// <windows.h> defines Yield() as an empty macro, a leftover of 16-bit
// Windows; it would swallow the host's Yield. Include <windows.h> first.
#ifdef Yield
#undef Yield
#endif

namespace hs {

class Host {
public:
    virtual ~Host() = default;

    // Gives pending events a turn. May run any handler the host allows
    // (a cancel press, a repaint), so callers re-test their flags after it.
    virtual void Yield() = 0;

    // The message-box protocol: the kind of question goes in as
    // messageBoxText, "YES" or "NO" comes back.
    virtual std::string AskMessageBox(const std::string& messageBoxText) = 0;
};

} // namespace hs

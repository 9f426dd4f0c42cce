// Sound on Windows: winmm's asynchronous sndPlaySoundA.
#include "platform/sound.h"

#include <windows.h>
#include <mmsystem.h>

namespace hs {

namespace {

class Win32Sound final : public Sound {
public:
    bool PlayAsync(const std::string& path) override {
        return sndPlaySoundA(path.c_str(), SND_ASYNC | SND_NODEFAULT) != FALSE;
    }
};

} // namespace

std::unique_ptr<Sound> MakeSystemSound() {
    return std::make_unique<Win32Sound>();
}

} // namespace hs

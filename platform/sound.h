// Playing a wave file without blocking the caller.
#pragma once

#include <memory>
#include <string>

namespace hs {

class Sound {
public:
    virtual ~Sound() = default;
    // Starts playing the file and returns at once. True when playing was
    // started; a file that cannot be played stays silent, with no fallback
    // sound.
    virtual bool PlayAsync(const std::string& path) = 0;
};

// Windows: sndPlaySoundA with SND_ASYNC | SND_NODEFAULT. Elsewhere: a sound
// player found on the PATH, started in the background, or silence.
std::unique_ptr<Sound> MakeSystemSound();

} // namespace hs

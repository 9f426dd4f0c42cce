// Sound on the portable build: a command-line player in the background.
#include "platform/sound.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace hs {

namespace {

// The first of the usual players that the PATH holds, or empty.
std::string FindPlayer() {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return {};
    for (const char* player : {"paplay", "pw-play", "aplay"}) {
        std::string_view rest(path);
        while (!rest.empty()) {
            std::size_t colon = rest.find(':');
            std::string dir(rest.substr(0, colon));
            rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
            if (dir.empty()) continue;
            std::string candidate = dir + "/" + player;
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
        }
    }
    return {};
}

class PosixSound final : public Sound {
public:
    bool PlayAsync(const std::string& path) override {
        std::string player = FindPlayer();
        if (player.empty()) return false;
        // Detached twice, so the player is nobody's child to wait for and the
        // caller only waits for the short-lived middle process.
        pid_t middle = fork();
        if (middle < 0) return false;
        if (middle == 0) {
            setsid();
            if (fork() == 0) {
                int devNull = open("/dev/null", O_RDWR);
                if (devNull >= 0) {
                    dup2(devNull, 0);
                    dup2(devNull, 1);
                    dup2(devNull, 2);
                }
                execl(player.c_str(), player.c_str(), path.c_str(), static_cast<char*>(nullptr));
            }
            _exit(0);
        }
        int status = 0;
        waitpid(middle, &status, 0);
        return true;
    }
};

} // namespace

std::unique_ptr<Sound> MakeSystemSound() {
    return std::make_unique<PosixSound>();
}

} // namespace hs

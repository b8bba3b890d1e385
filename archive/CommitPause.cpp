#include "archive/CommitPause.h"

#include <signal.h>

#include <atomic>
#include <cstdlib>

namespace kelvarox::archive {

void PauseBeforeCommitForTests() {
    static const long stopAt = [] {
        const char* text = std::getenv("KELVAROX_TEST_STOP_BEFORE_COMMIT");
        return text ? std::strtol(text, nullptr, 10) : 0L;
    }();
    static std::atomic<long> commits = 0;
    if (stopAt > 0 && ++commits == stopAt) ::raise(SIGSTOP);
}

}  // namespace kelvarox::archive

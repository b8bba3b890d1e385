#pragma once
// Block files read and decoded in a thread of their own, a bounded number ahead of the one
// that stores them, so reading the files and writing the archive overlap.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "archive/BlockIntake.h"

namespace kelvarox::cli {

class ReadAhead {
public:
    ReadAhead(std::vector<std::string> files, const BlockLayout& layout, size_t depth);
    // Stops the reading thread and waits for it.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next file and what reading it gave, in the files' order; nothing after the last.
    std::optional<std::pair<std::string, archive::Intake>> Next();

private:
    void Read();

    const std::vector<std::string> files_;
    const BlockLayout layout_;
    const size_t depth_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<archive::Intake> ready_;
    size_t taken_ = 0;
    bool stop_ = false;
    std::thread reader_;
};

}  // namespace kelvarox::cli

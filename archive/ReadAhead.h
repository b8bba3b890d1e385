#pragma once
// Block files read and decoded in a thread of their own, a bounded number ahead of the one
// that stores them, so reading the files and writing the archive overlap. They pass between
// the threads in chunks, so the threads seldom wait for each other's lock.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "archive/BlockIntake.h"
#include "core/BlockFileWalk.h"

namespace kelvarox::archive {

class ReadAhead {
public:
    ReadAhead(BlockFileWalk files, const BlockLayout& layout, size_t depth);
    // Stops the reading thread and waits for it.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next file and what reading it gave, in the files' order (a directory that cannot be
    // listed with the system's message as its error); nothing after the last.
    using Read = std::pair<std::string, Intake>;
    std::optional<Read> Next();

private:
    using Chunk = std::vector<Read>;
    void ReadAll();
    // Hands a chunk to the other thread, waiting while `depth_` files wait there already.
    bool Hand(Chunk& chunk);

    BlockFileWalk files_;
    const BlockLayout layout_;
    const size_t chunks_;  // how many chunks may wait
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Chunk> ready_;
    bool done_ = false;  // the reader has handed its last chunk
    bool stop_ = false;
    Chunk taking_;  // the chunk Next() takes its files from
    size_t taken_ = 0;
    std::thread reader_;
};

}  // namespace kelvarox::archive

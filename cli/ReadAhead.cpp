#include "cli/ReadAhead.h"

#include <algorithm>
#include <cstring>

namespace kelvarox::cli {

ReadAhead::ReadAhead(BlockFileWalk files, const BlockLayout& layout, size_t depth)
    : files_(std::move(files)), layout_(layout), depth_(std::max<size_t>(1, depth)), reader_([this] { ReadAll(); }) {}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    reader_.join();
}

void ReadAhead::ReadAll() {
    while (auto step = files_.Next()) {
        archive::Intake intake;
        if (step->error) intake.error = std::strerror(step->error);
        else intake = archive::ReadBlockForArchive(step->path, layout_);
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stop_ || ready_.size() < depth_; });
        if (stop_) return;
        ready_.emplace_back(std::move(step->path), std::move(intake));
        changed_.notify_all();
    }
    std::lock_guard lock(mutex_);
    done_ = true;
    changed_.notify_all();
}

std::optional<ReadAhead::Read> ReadAhead::Next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !ready_.empty() || done_; });
    if (ready_.empty()) return std::nullopt;
    Read read = std::move(ready_.front());
    ready_.pop_front();
    changed_.notify_all();
    return read;
}

}  // namespace kelvarox::cli

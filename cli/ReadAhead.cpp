#include "cli/ReadAhead.h"

#include <algorithm>

namespace kelvarox::cli {

ReadAhead::ReadAhead(std::vector<std::string> files, const BlockLayout& layout, size_t depth)
    : files_(std::move(files)), layout_(layout), depth_(std::max<size_t>(1, depth)), reader_([this] { Read(); }) {}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    reader_.join();
}

void ReadAhead::Read() {
    for (const auto& file : files_) {
        archive::Intake intake = archive::ReadBlockForArchive(file, layout_);
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stop_ || ready_.size() < depth_; });
        if (stop_) return;
        ready_.push_back(std::move(intake));
        changed_.notify_all();
    }
}

std::optional<std::pair<std::string, archive::Intake>> ReadAhead::Next() {
    if (taken_ == files_.size()) return std::nullopt;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !ready_.empty(); });
    archive::Intake intake = std::move(ready_.front());
    ready_.pop_front();
    changed_.notify_all();
    return std::pair(files_[taken_++], std::move(intake));
}

}  // namespace kelvarox::cli

#include "archive/ReadAhead.h"

#include <algorithm>
#include <cstring>

namespace kelvarox::archive {

namespace {

constexpr size_t kChunk = 64;

}  // namespace

ReadAhead::ReadAhead(BlockFileWalk files, const BlockLayout& layout, size_t depth)
    : files_(std::move(files)), layout_(layout), chunks_(std::max<size_t>(1, depth / kChunk)),
      reader_([this] { ReadAll(); }) {}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    reader_.join();
}

void ReadAhead::ReadAll() {
    Chunk chunk;
    while (auto step = files_.Next()) {
        Intake intake;
        if (step->error)
            intake.error = std::strerror(step->error);
        else
            intake = ReadBlockForArchive(step->path, layout_);
        chunk.emplace_back(std::move(step->path), std::move(intake));
        if (chunk.size() == kChunk && !Hand(chunk)) return;
    }
    if (!chunk.empty() && !Hand(chunk)) return;
    std::lock_guard lock(mutex_);
    done_ = true;
    changed_.notify_all();
}

bool ReadAhead::Hand(Chunk& chunk) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stop_ || ready_.size() < chunks_; });
    if (stop_) return false;
    ready_.push_back(std::move(chunk));
    chunk = Chunk();
    changed_.notify_all();
    return true;
}

std::optional<ReadAhead::Read> ReadAhead::Next() {
    if (taken_ == taking_.size()) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !ready_.empty() || done_; });
        if (ready_.empty()) return std::nullopt;
        taking_ = std::move(ready_.front());
        ready_.pop_front();
        taken_ = 0;
        changed_.notify_all();
    }
    return std::move(taking_[taken_++]);
}

}  // namespace kelvarox::archive

#include "ui/ArchiveReader.h"

#include <chrono>
#include <map>

#include "core/Errors.h"
#include "timeline/ArchiveTrace.h"
#include "render/TextCodec.h"

namespace kelvarox {

std::string ArchiveReader::ConnectingStep(const std::string& location) {
    return "Connecting to the archive " + archive::Archive::NameOf(location) + " ...";
}

ArchiveReader::ArchiveReader(std::string location, QObject* parent)
    : QObject(parent), location_(std::move(location)), thread_([this] { Run(); }) {}

ArchiveReader::~ArchiveReader() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ArchiveReader::Show(const std::vector<int32_t>& channels) {
    {
        std::lock_guard lock(mutex_);
        shown_ = std::set<int32_t>(channels.begin(), channels.end());
        woken_ = true;
    }
    changed_.notify_all();
}

void ArchiveReader::ReadNow() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    changed_.notify_all();
}

// Runs `deliver` in the window's thread, unless the reader is gone by then.
template <class Deliver>
void ArchiveReader::Post(Deliver deliver) {
    QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
}

void ArchiveReader::Run() {
    std::unique_ptr<archive::Archive> archive;
    timeline::ArchiveOverview overview;
    std::map<int32_t, timeline::TraceFollower> followers;  // of the channels shown
    std::optional<int64_t> seen;  // the generation everything was read at
    std::string problem;
    bool listed = false;
    const std::string name = archive::Archive::NameOf(location_);
    const auto report = [&](const std::string& now) {
        if (now == problem) return;
        problem = now;
        Post([this, text = ToQt(now)] { emit problemChanged(text); });
    };
    const auto step = [&](const std::string& text) { Post([this, text = ToQt(text)] { emit stepChanged(text); }); };
    while (!stop_) {
        std::set<int32_t> wanted;
        {
            std::lock_guard lock(mutex_);
            wanted = shown_;
        }
        try {
            if (!archive) {
                // Said once: a connection tried again after a failure keeps the failure shown.
                if (problem.empty() && !listed) step(ConnectingStep(location_));
                archive::WaitHooks hooks;
                hooks.abandon = &stop_;
                archive = std::make_unique<archive::Archive>(location_, archive::Archive::Access::Read, hooks);
                if (!listed) step("Reading the archive " + name + " ...");
            }
            const int64_t now = archive->Generation();
            if ((now != seen || !listed) && overview.Update(*archive)) {
                Post([this, channels = overview.Channels()] { emit channelsRead(channels); });
                Post([this, dates = overview.Dates()] { emit datesRead(dates); });
            }
            listed = true;
            std::erase_if(followers, [&](const auto& f) { return !wanted.count(f.first); });
            for (const int32_t channel : wanted) {
                auto [follower, added] = followers.try_emplace(channel, channel);
                if ((added || now != seen) && follower->second.Update(*archive))
                    Post([this, trace = follower->second.Trace()] { emit traceRead(trace); });
            }
            seen = now;
            report(std::string());
        } catch (const KelvaroxError& e) {
            archive.reset();
            if (!stop_) report(e.what());
        }
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(kLookIntervalMs), [this] { return stop_ || woken_; });
        woken_ = false;
    }
}

}  // namespace kelvarox

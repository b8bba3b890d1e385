#include "ui/ArchiveReader.h"

#include <chrono>

#include "core/Errors.h"
#include "timeline/ArchiveTrace.h"
#include "render/TextCodec.h"

namespace kelvarox {

namespace {

// How often the archive is asked whether it changed.
constexpr auto kPollInterval = std::chrono::milliseconds(700);

}  // namespace

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

// Runs `deliver` in the window's thread, unless the reader is gone by then.
template <class Deliver>
void ArchiveReader::Post(Deliver deliver) {
    QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
}

void ArchiveReader::Run() {
    std::unique_ptr<archive::Archive> archive;
    std::optional<int64_t> generation;
    std::set<int32_t> read;  // the channels whose traces are read at `generation`
    std::string problem;
    const auto report = [&](const std::string& now) {
        if (now == problem) return;
        problem = now;
        Post([this, text = ToQt(now)] { emit problemChanged(text); });
    };
    while (true) {
        std::set<int32_t> wanted;
        {
            std::unique_lock lock(mutex_);
            if (stop_) return;
            wanted = shown_;
        }
        try {
            if (!archive) archive = std::make_unique<archive::Archive>(location_, archive::Archive::Access::Read);
            const int64_t now = archive->Generation();
            if (now != generation) {
                read.clear();
                Post([this, channels = archive->Channels()] { emit channelsRead(channels); });
                auto dates = std::make_shared<const timeline::DateLine>(timeline::LoadDateLine(*archive));
                Post([this, dates] { emit datesRead(dates); });
                generation = now;
            }
            for (const int32_t channel : wanted) {
                if (read.count(channel)) continue;
                auto trace = std::make_shared<const timeline::ChannelTrace>(timeline::LoadChannelTrace(*archive, channel));
                Post([this, trace] { emit traceRead(trace); });
                read.insert(channel);
            }
            report(std::string());
        } catch (const KelvaroxError& e) {
            archive.reset();
            generation.reset();
            report(e.what());
        }
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, kPollInterval, [this] { return stop_ || woken_; });
        woken_ = false;
    }
}

}  // namespace kelvarox

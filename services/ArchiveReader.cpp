#include "services/ArchiveReader.h"

#include <QTimer>
#include <map>
#include <optional>

#include "core/Errors.h"
#include "render/TextCodec.h"
#include "timeline/ArchiveTrace.h"
#include "timeline/LimitWatch.h"

namespace kelvarox {

std::string ArchiveReader::connectingStep(const std::string& location) {
    return "Connecting to the archive " + archive::Archive::NameOf(location) + " ...";
}

// Runs `deliver` in the window's thread, unless the reader is gone by then.
template <class Deliver>
void ArchiveReader::post(Deliver deliver) {
    QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
}

// The thread's work: it reads when its timer runs out and when told to, and keeps what it read.
class ArchiveReader::Work : public QObject {
public:
    explicit Work(ArchiveReader& reader) : reader_(reader), name_(archive::Archive::NameOf(reader.location_)) {
        timer_.setParent(this);  // moves to the thread with the work
        timer_.setInterval(kLookIntervalMs);
        connect(&timer_, &QTimer::timeout, this, [this] { read(); });
    }

    // Reads now, unless a read is due already.
    void wake() {
        if (!pending_.exchange(true))
            QMetaObject::invokeMethod(
                this, [this] { read(); }, Qt::QueuedConnection);
    }

    void read() {
        pending_ = false;
        if (!timer_.isActive()) timer_.start();
        if (reader_.stop_) return;
        std::set<int32_t> wanted;
        std::shared_ptr<const SatelliteDefinition> satellite;
        {
            std::lock_guard lock(reader_.mutex_);
            wanted = reader_.shown_;
            satellite = reader_.satellite_;
        }
        if (satellite != satellite_) {
            // Other names, equations and elements: every trace and the overview anew.
            satellite_ = satellite;
            followers_.clear();
            overview_ = timeline::ArchiveOverview(satellite_);
            watch_.reset();
            if (satellite_ && !satellite_->ChannelsWithLimits().empty())
                watch_ = std::make_unique<timeline::LimitWatch>(satellite_);
            reader_.post([r = &reader_] { emit r->worstLevelsRead({}); });
            listed_ = false;
        }
        const std::string& location = reader_.location_;
        try {
            if (!archive_) {
                // Said once: a connection tried again after a failure keeps the failure shown.
                if (problem_.empty() && !listed_) step(connectingStep(location));
                archive::WaitHooks hooks;
                hooks.abandon = &reader_.stop_;
                archive_ = std::make_unique<archive::Archive>(location, archive::Archive::Access::Read, hooks);
                if (!listed_) step("Reading the archive " + name_ + " ...");
            }
            const int64_t now = archive_->Generation();
            if ((now != seen_ || !listed_) && overview_.Update(*archive_)) {
                reader_.post([r = &reader_, channels = overview_.Channels()] { emit r->channelsRead(channels); });
                reader_.post([r = &reader_, dates = overview_.Dates()] { emit r->datesRead(dates); });
                reader_.post([r = &reader_, text = ToQt(overview_.MisplacedText())] { emit r->misplacedRead(text); });
            }
            listed_ = true;
            std::erase_if(followers_, [&](const auto& f) { return !wanted.count(f.first); });
            for (const int32_t channel : wanted) {
                auto [follower, added] = followers_.try_emplace(channel, channel, satellite_);
                if ((added || now != seen_) && follower->second.Update(*archive_)) {
                    reader_.post([r = &reader_, trace = follower->second.Trace()] { emit r->traceRead(trace); });
                    auto orbits = std::make_shared<std::vector<OrbitStatistics>>();
                    archive_->ForEachOrbitStatistics(channel, {}, satellite_ ? *satellite_ : BuiltInSatellite(),
                                                     [&](const OrbitStatistics& o) { orbits->push_back(o); });
                    reader_.post([r = &reader_, channel,
                                  orbits = std::shared_ptr<const std::vector<OrbitStatistics>>(std::move(orbits))] {
                        emit r->orbitStatisticsRead(channel, orbits);
                    });
                }
            }
            // The marks of the channel list, after the plots: at a million blocks the first
            // read of every channel with limits takes a while.
            if (watch_ && (now != seen_ || !watched_) && watch_->Update(*archive_))
                reader_.post([r = &reader_, levels = watch_->Levels()] { emit r->worstLevelsRead(levels); });
            watched_ = watch_ != nullptr;
            seen_ = now;
            report(std::string());
        } catch (const KelvaroxError& e) {
            archive_.reset();
            if (!reader_.stop_) report(e.what());
        }
    }

private:
    void report(const std::string& now) {
        if (now == problem_) return;
        problem_ = now;
        reader_.post([r = &reader_, text = ToQt(now)] { emit r->problemChanged(text); });
    }
    void step(const std::string& text) {
        reader_.post([r = &reader_, text = ToQt(text)] { emit r->stepChanged(text); });
    }

    ArchiveReader& reader_;
    const std::string name_;
    QTimer timer_;  // looks for commits of other programs
    std::atomic<bool> pending_{false};
    std::unique_ptr<archive::Archive> archive_;
    timeline::ArchiveOverview overview_;
    std::map<int32_t, timeline::TraceFollower> followers_;  // of the channels shown
    std::shared_ptr<const SatelliteDefinition> satellite_;
    std::unique_ptr<timeline::LimitWatch> watch_;  // none without limits
    bool watched_ = false;                         // the watch has read the archive once
    std::optional<int64_t> seen_;                  // the generation everything was read at
    std::string problem_;
    bool listed_ = false;
};

ArchiveReader::ArchiveReader(std::string location, QObject* parent)
    : QObject(parent), location_(std::move(location)), work_(new Work(*this)) {
    work_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, work_, &QObject::deleteLater);
    thread_.start();
    work_->wake();
}

ArchiveReader::~ArchiveReader() {
    stop_ = true;
    thread_.quit();
    thread_.wait();
}

void ArchiveReader::show(const std::vector<int32_t>& channels) {
    {
        std::lock_guard lock(mutex_);
        shown_ = std::set<int32_t>(channels.begin(), channels.end());
    }
    work_->wake();
}

void ArchiveReader::readNow() { work_->wake(); }

void ArchiveReader::useSatellite(std::shared_ptr<const SatelliteDefinition> satellite) {
    {
        std::lock_guard lock(mutex_);
        satellite_ = std::move(satellite);
    }
    work_->wake();
}

}  // namespace kelvarox

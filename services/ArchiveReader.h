#pragma once
// What the time line window shows, read from the block archive in a thread of its own (a
// worker object in a QThread) with an archive connection of its own: the archived channels, the traces of the channels
// on display and the days of the orbit axis. It keeps them up to date whoever changes the archive, so new blocks appear
// without any click: it reads at once when told of a commit in this program (ReadNow), looks for a commit of other
// programs now and then, and then reads only the blocks that commits stored or placed anew.
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "core/OrbitStatistics.h"
#include "core/SatelliteDefinition.h"
#include "timeline/ChannelTrace.h"
#include "timeline/DateLine.h"
#include "timeline/Excursions.h"

namespace kelvarox {

class ArchiveReader : public QObject {
    Q_OBJECT
public:
    explicit ArchiveReader(std::string location, QObject* parent = nullptr);
    // Stops reading, gives up a connection attempt in progress, and waits for the thread.
    ~ArchiveReader() override;

    // The channels whose traces are wanted; each is read once and kept up to date.
    void show(const std::vector<int32_t>& channels);
    // The archive has changed: it is read now rather than at the next look.
    void readNow();
    // The satellite whose names and equations the traces take: everything is read again.
    void useSatellite(std::shared_ptr<const SatelliteDefinition> satellite);

    // The first step of reading the archive at `location`, as stepChanged tells it.
    static std::string connectingStep(const std::string& location);

    // How often the archive is asked whether another program changed it.
    static constexpr int kLookIntervalMs = 700;

signals:
    void channelsRead(const std::vector<kelvarox::archive::ChannelSummary>& channels);
    void traceRead(std::shared_ptr<const kelvarox::timeline::ChannelTrace> trace);
    // The statistics the archive keeps of each orbit of a channel on display, in orbit order,
    // read after its trace whenever the trace changed: what a view of years is drawn from.
    void orbitStatisticsRead(int32_t channel, std::shared_ptr<const std::vector<kelvarox::OrbitStatistics>> orbits);
    void datesRead(std::shared_ptr<const kelvarox::timeline::DateLine> dates);
    // What the reader does before the channels are first read: "Connecting to the archive
    // NAME ...", then "Reading the archive NAME ...".
    void stepChanged(const QString& step);
    // The archive cannot be read: the reason; empty once it reads again.
    void problemChanged(const QString& problem);
    // The blocks that the satellite's elements date otherwise than their headers, named as
    // ArchiveOverview::MisplacedText names them; empty when there are none.
    void misplacedRead(const QString& warning);
    // The worst level beyond its limits of each channel that has limits, across the archive;
    // empty when another satellite was chosen.
    void worstLevelsRead(const std::map<int32_t, kelvarox::timeline::LimitLevel>& levels);

private:
    class Work;
    template <class Deliver>
    void post(Deliver deliver);

    const std::string location_;
    std::mutex mutex_;
    std::set<int32_t> shown_;                               // under mutex_
    std::shared_ptr<const SatelliteDefinition> satellite_;  // under mutex_; none: the built-in one
    std::atomic<bool> stop_{false};
    QThread thread_;
    Work* work_;  // lives in thread_, which deletes it when it ends
};

}  // namespace kelvarox

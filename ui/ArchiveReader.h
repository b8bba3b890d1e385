#pragma once
// What the time line window shows, read from the block archive in a thread of its own with an
// archive connection of its own: the archived channels, the traces of the channels on display
// and the days of the orbit axis. It reads them again whenever the archive changes, whoever
// changed it, so new blocks appear without any click.
#include <QObject>
#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "archive/Archive.h"
#include "timeline/ChannelTrace.h"
#include "timeline/DateLine.h"

namespace kelvarox {

class ArchiveReader : public QObject {
    Q_OBJECT
public:
    explicit ArchiveReader(std::string location, QObject* parent = nullptr);
    // Stops reading and waits for the thread.
    ~ArchiveReader() override;

    // The channels whose traces are wanted; each is read once and again after every change.
    void Show(const std::vector<int32_t>& channels);

signals:
    void channelsRead(const std::vector<kelvarox::archive::ChannelSummary>& channels);
    void traceRead(std::shared_ptr<const kelvarox::timeline::ChannelTrace> trace);
    void datesRead(std::shared_ptr<const kelvarox::timeline::DateLine> dates);
    // The archive cannot be read: the reason; empty once it reads again.
    void problemChanged(const QString& problem);

private:
    void Run();
    template <class Deliver>
    void Post(Deliver deliver);

    const std::string location_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
    bool woken_ = false;
    std::set<int32_t> shown_;
    std::thread thread_;
};

}  // namespace kelvarox

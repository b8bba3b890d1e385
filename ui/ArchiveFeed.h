#pragma once
// The telemetry directory's blocks added to the block archive in the background: every block
// of the directory when the program starts, then, in follow mode, each block the capture
// program writes, a moment after it lands. The work runs in a thread of its own with an
// archive connection of its own; the window that shows the archive reads it through another.
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "core/WodBlock.h"

namespace kelvarox {

class ArchiveFeed : public QObject {
    Q_OBJECT
public:
    // What the feed adds and where: the archive's location, the telemetry directory, and the
    // layout and Orbit HiByte the blocks are read with, as Load reads them.
    struct Source {
        std::string archive;
        std::string directory;
        BlockLayout layout;
        int64_t orbitHiByte = 0;
    };

    explicit ArchiveFeed(QObject* parent = nullptr);
    // Stops the work where it stands (every block is stored whole or not at all) and waits.
    ~ArchiveFeed() override;

    // Adds the directory's blocks and goes on following it. Once only; an empty directory
    // adds nothing.
    void Start(Source source);

    // Follow mode, on by default: new blocks are added as they come. Off, the directory is left
    // alone until it is switched on again, which adds what came meanwhile.
    void SetFollowing(bool on);
    bool Following() const { return following_; }

    // The last progress and status reported.
    int Done() const { return done_; }
    int Total() const { return total_; }
    QString Status() const { return status_; }

signals:
    // Files read of the files of a pass; total 0 when no pass is running.
    void progressChanged(int done, int total);
    void statusChanged(const QString& text);

private:
    void Run(Source source);
    void Wake();
    // Waits up to the rescan interval, or for a wake or the end; false at the end.
    bool WaitForWork(bool firstPass);
    void PostProgress(int done, int total);
    void PostStatus(const std::string& text);

    QFileSystemWatcher watcher_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
    bool woken_ = false;
    std::atomic<bool> following_{true};
    int done_ = 0;
    int total_ = 0;
    QString status_;
};

}  // namespace kelvarox

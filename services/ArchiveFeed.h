#pragma once
// The telemetry directory's blocks added to the block archive in the background: every block
// of the directory when the program starts, then, in follow mode, each block the capture
// program writes, a moment after it lands. The work runs in a thread of its own (a worker
// object in a QThread) with an archive connection of its own; the window that shows the
// archive reads it through another, and hears of each commit at once (archiveChanged).
// Between changes it costs nothing: the directory's watch, which the file list shares, tells
// it which names changed, and it looks at those alone.
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/SatelliteDefinition.h"
#include "core/WodBlock.h"

namespace kelvarox {

class DirectoryWatch;

class ArchiveFeed : public QObject {
    Q_OBJECT
public:
    // What the feed adds and where: the archive's location, the telemetry directory, and the
    // layout and Orbit HiByte the blocks are read with, as Load reads them, and the satellite
    // whose equations the archive's orbit statistics are made with (the built-in catalogue when none).
    struct Source {
        std::string archive;
        std::string directory;
        BlockLayout layout;
        int64_t orbitHiByte = 0;
        std::shared_ptr<const SatelliteDefinition> satellite;
    };

    explicit ArchiveFeed(QObject* parent = nullptr);
    // Stops the work where it stands (every block is stored whole or not at all), gives up a
    // connection attempt or a wait for another writer in progress, and waits for the thread.
    ~ArchiveFeed() override;

    // Adds the directory's blocks and goes on following it. Once only; an empty directory
    // adds nothing.
    void start(Source source);

    // Follow mode, on by default: new blocks are added as they come. Off, the directory is left
    // alone until it is switched on again, which adds what came meanwhile.
    void setFollowing(bool on);
    bool following() const { return following_; }

    // The last progress, status, problem and wait reported.
    int done() const { return done_; }
    int total() const { return total_; }
    QString status() const { return status_; }
    QString problem() const { return problem_; }
    bool waiting() const { return waiting_; }
    // The files of the directory that failed to load, or whose block the archive refused, with
    // the message; a file leaves the list when it loads or goes.
    using Failures = std::vector<std::pair<QString, QString>>;
    const Failures& failures() const { return failures_; }

    // How long a file that was made or changed but not closed must stay as it is before it is
    // read, and how long after a failed write the files are tried again: twice as long after
    // each failure in a row, up to a minute.
    static constexpr int kSettleMs = 300;
    static constexpr int kRetryMs = 3000;
    static constexpr int kLongestRetryMs = 60000;
    // How often a directory that cannot be watched (gone, or not there yet) is looked for.
    static constexpr int kLookAgainMs = 1000;

signals:
    // Files read of the files of a pass; total 0 when no pass is running.
    void progressChanged(int done, int total);
    void statusChanged(const QString& text);
    // Why adding blocks has stopped (the archive cannot be written, the directory cannot be
    // read); empty once it goes on.
    void problemChanged(const QString& problem);
    // True while a write waits for another program that writes to the archive.
    void waitingChanged(bool waiting);
    void failuresChanged(const kelvarox::ArchiveFeed::Failures& failures);
    // A commit stored blocks in the archive. Emitted from the feed's thread.
    void archiveChanged();

private:
    class Work;
    void postProgress(int done, int total);
    void postStatus(const std::string& text);
    void postProblem(const std::string& text);
    void postWaiting(bool waiting);
    void postFailures(Failures failures);

    std::shared_ptr<DirectoryWatch> watch_;
    QThread thread_;
    Work* work_ = nullptr;  // lives in thread_, which deletes it when it ends
    std::atomic<bool> stop_{false};
    std::atomic<bool> following_{true};
    int done_ = 0;
    int total_ = 0;
    QString status_;
    QString problem_;
    bool waiting_ = false;
    Failures failures_;
};

}  // namespace kelvarox

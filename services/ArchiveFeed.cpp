#include "services/ArchiveFeed.h"

#include <sys/stat.h>

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "archive/Archive.h"
#include "archive/ArchiveMessages.h"
#include "archive/Import.h"
#include "core/BlockFiles.h"
#include "core/Errors.h"
#include "render/TextCodec.h"
#include "services/DirectoryWatch.h"

namespace kelvarox {

namespace {

using Clock = std::chrono::steady_clock;

// A file as it was when it was read: read again when either changes.
struct FileStamp {
    int64_t size = -1;
    int64_t modified = 0;  // nanoseconds
    bool operator==(const FileStamp&) const = default;
};

// The stamp of a regular file (or a link to one); nothing for anything else.
std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return FileStamp{static_cast<int64_t>(info.st_size),
                     static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

struct Totals {
    int64_t added = 0;
    int64_t alreadyStored = 0;
    int64_t failed = 0;
    size_t unsure = 0;

    std::string Text() const {
        std::string text = "Archive: added " + std::to_string(added) + ", already stored " +
                           std::to_string(alreadyStored) + ", failed " + std::to_string(failed);
        if (unsure > 0) text += "; " + std::to_string(unsure) + " orbits not sure";
        return text;
    }
};

std::string BusyText(const std::string& archive, int64_t files) {
    return "The archive " + archive + " is busy: another program is writing to it. Kelvarox waits to add " +
           std::to_string(files) + (files == 1 ? " file." : " files.");
}

}  // namespace

void ArchiveFeed::postProgress(int done, int total) {
    QMetaObject::invokeMethod(
        this,
        [this, done, total] {
            done_ = done;
            total_ = total;
            emit progressChanged(done, total);
        },
        Qt::QueuedConnection);
}

void ArchiveFeed::postStatus(const std::string& text) {
    QMetaObject::invokeMethod(
        this,
        [this, text = ToQt(text)] {
            status_ = text;
            emit statusChanged(text);
        },
        Qt::QueuedConnection);
}

void ArchiveFeed::postProblem(const std::string& text) {
    QMetaObject::invokeMethod(
        this,
        [this, text = ToQt(text)] {
            if (text == problem_) return;
            problem_ = text;
            emit problemChanged(text);
        },
        Qt::QueuedConnection);
}

void ArchiveFeed::postWaiting(bool waiting) {
    QMetaObject::invokeMethod(
        this,
        [this, waiting] {
            waiting_ = waiting;
            emit waitingChanged(waiting);
        },
        Qt::QueuedConnection);
}

void ArchiveFeed::postFailures(Failures failures) {
    QMetaObject::invokeMethod(
        this,
        [this, failures = std::move(failures)] {
            failures_ = failures;
            emit failuresChanged(failures_);
        },
        Qt::QueuedConnection);
}

// The thread's work: what it has read, what is due, and how far it got. It looks at what is due
// when the watch tells of changes, and when its timer runs out.
class ArchiveFeed::Work : public QObject {
public:
    ArchiveFeed& feed;
    DirectoryWatch& watch;
    const Source source;
    const std::string directory;                         // with a trailing separator
    std::map<std::string, FileStamp> read;               // the files read, and how they were
    std::set<std::string> due;                           // names to look at now
    std::map<std::string, std::string> failures;         // path: why it was not stored
    std::map<std::string, Clock::time_point> unsettled;  // names being written: looked at once quiet
    std::optional<Clock::time_point> retryAt;            // a write failed: the files due are tried again then
    int retryMs = kRetryMs;                              // after the next failure, twice as long each time
    bool listAll = true;  // the whole directory is looked at: first, and after changes were lost
    bool firstPass = true;
    bool directoryProblem = false;
    Totals totals;
    std::string problem;  // what stops the work now; empty while it goes
    // The pass under way, as a wait for another writer tells it.
    int64_t passTotal = 0;
    int64_t passFailed = 0;
    archive::ImportCounts passCommitted;
    std::unique_ptr<archive::Archive> archive;
    QTimer timer;  // when to look again

    Work(ArchiveFeed& f, DirectoryWatch& w, Source s)
        : feed(f), watch(w), source(std::move(s)),
          directory(source.directory.back() == '/' ? source.directory : source.directory + "/") {
        timer.setParent(this);  // moves to the thread with the work
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, this, [this] { look(); });
        connect(&watch, &DirectoryWatch::changed, this, [this](const DirectoryWatch::Changes& changes) {
            take(changes);
            look();
        });
    }

    // Looks at what is due, and sets the timer for the next look.
    void look() {
        if (feed.stop_) return;
        const int waitMs = step();
        if (waitMs < 0)
            timer.stop();
        else
            timer.start(waitMs);
    }

    void report(const std::string& now) {
        if (now == problem) return;
        problem = now;
        feed.postProblem(problem);
        feed.postStatus(problem.empty() ? totals.Text() : problem);
    }

    void postFailures() {
        Failures list;
        for (const auto& [file, error] : failures) list.emplace_back(PathToQt(file), ToQt(error));
        feed.postFailures(std::move(list));
    }

    void writerWaits(bool waiting) {
        feed.postWaiting(waiting);
        if (!waiting) {
            feed.postStatus(problem.empty() ? totals.Text() : problem);
            return;
        }
        const int64_t stored = passCommitted.added + passCommitted.alreadyStored;
        feed.postStatus(BusyText(archive::Archive::NameOf(source.archive), passTotal - stored - passFailed));
    }

    // Adds the due files that are new or changed; false when the archive cannot be written.
    bool addDue() {
        std::vector<std::pair<std::string, FileStamp>> fresh;
        for (const std::string& name : due) {
            const auto stamp = StampOf(directory + name);
            const auto known = read.find(name);
            if (stamp && (known == read.end() || !(known->second == *stamp))) fresh.emplace_back(name, *stamp);
        }
        if (fresh.empty()) return true;
        const int total = static_cast<int>(fresh.size());
        passTotal = total;
        passFailed = 0;
        passCommitted = {};
        try {
            if (!archive) {
                archive::WaitHooks hooks;
                hooks.abandon = &feed.stop_;
                hooks.writerWaits = [this](bool waiting) { writerWaits(waiting); };
                archive = std::make_unique<archive::Archive>(source.archive, archive::Archive::Access::Write, hooks);
            }
            archive::ImportRequest request{{}, source.layout, source.orbitHiByte};
            request.satellite = source.satellite.get();
            for (const auto& [name, stamp] : fresh) request.paths.push_back(directory + name);
            archive::ImportEvents events;
            events.cancel = &feed.stop_;
            for (const auto& [name, stamp] : fresh) failures.erase(directory + name);
            events.failed = [&](const std::string& file, const std::string& error) {
                ++passFailed;
                failures[file] = error;
            };
            events.refused = [&](const archive::RefusedBlock& refused) {
                failures[refused.file] = archive::msg::Refused(refused.reason);
            };
            auto lastPost = Clock::now();
            events.progress = [&](size_t done, const archive::ImportCounts& committed) {
                passCommitted = committed;
                if (Clock::now() - lastPost > std::chrono::milliseconds(200)) {
                    feed.postProgress(static_cast<int>(done), total);
                    lastPost = Clock::now();
                }
            };
            // The reader of the time line hears of each commit at once.
            events.committed = [this] { emit feed.archiveChanged(); };
            feed.postProgress(0, total);
            archive::ImportResult import;
            archive::ImportFiles(*archive, request, events, import);
            if (import.cancelled) return true;  // the blocks of the batch not committed are added next time
            for (const auto& [name, stamp] : fresh) read[name] = stamp;
            totals.added += import.committed.added;
            totals.alreadyStored += import.committed.alreadyStored;
            totals.failed += import.failed + import.committed.refused;
            totals.unsure += import.unsure.size();
            postFailures();
            feed.postProgress(total, 0);
            problem.clear();
            feed.postProblem(problem);
            feed.postStatus(totals.Text());
            return true;
        } catch (const KelvaroxError& e) {
            if (feed.stop_) return true;
            // The archive cannot be written now; the files are tried again in a moment.
            archive.reset();
            feed.postProgress(0, 0);
            report(std::string("Archive: ") + e.what());
            return false;
        }
    }

    // Looks at what is due; how long to wait for changes then (no limit when negative).
    int step() {
        int waitMs = -1;
        const auto sooner = [&](Clock::time_point then) {
            const int ms = static_cast<int>(std::max<int64_t>(
                1, std::chrono::duration_cast<std::chrono::milliseconds>(then - Clock::now()).count()));
            waitMs = waitMs < 0 ? ms : std::min(waitMs, ms);
        };
        int error = 0;
        std::vector<std::string> names;
        if (!feed.following_ && !firstPass) {
            // Left alone until Follow is on again, which looks at all of it anew.
            due.clear();
            unsettled.clear();
            listAll = true;
            return waitMs;
        }
        if (!watch.watch(error) || (listAll && !ListBlockFileNames(source.directory, names, error))) {
            listAll = true;
            directoryProblem = true;
            report("Cannot read " + source.directory + ": " + std::strerror(error));
            return kLookAgainMs;
        }
        if (directoryProblem) report(std::string());  // followed again
        directoryProblem = false;
        if (listAll) {
            due.insert(names.begin(), names.end());
            unsettled.clear();
            listAll = false;
        }
        const auto now = Clock::now();
        for (auto it = unsettled.begin(); it != unsettled.end();) {
            if (it->second > now) {
                sooner((it++)->second);
                continue;
            }
            due.insert(it->first);
            it = unsettled.erase(it);
        }
        if (!due.empty() && (!retryAt || now >= *retryAt)) {
            retryAt.reset();
            if (addDue()) {
                due.clear();
                retryMs = kRetryMs;
            } else {
                retryAt = Clock::now() + std::chrono::milliseconds(retryMs);
                retryMs = std::min(2 * retryMs, kLongestRetryMs);
            }
        }
        if (retryAt) sooner(*retryAt);
        firstPass = false;
        return waitMs;
    }

    void take(const DirectoryWatch::Changes& changes) {
        if (changes.overflowed) listAll = true;
        const auto settled = Clock::now() + std::chrono::milliseconds(kSettleMs);
        for (const std::string& name : changes.written) {
            if (!IsBlockFileName(name)) continue;
            due.insert(name);
            unsettled.erase(name);
        }
        for (const std::string& name : changes.touched)
            if (IsBlockFileName(name)) unsettled[name] = settled;
        for (const std::string& name : changes.removed) {
            if (failures.erase(directory + name) > 0) postFailures();
            read.erase(name);
            due.erase(name);
            unsettled.erase(name);
        }
    }
};

ArchiveFeed::ArchiveFeed(QObject* parent) : QObject(parent) {}

ArchiveFeed::~ArchiveFeed() {
    stop_ = true;
    thread_.quit();
    thread_.wait();
}

void ArchiveFeed::start(Source source) {
    if (work_) return;
    if (source.directory.empty()) {
        status_ = QStringLiteral("No telemetry directory: nothing is added to the archive");
        emit statusChanged(status_);
        return;
    }
    watch_ = DirectoryWatch::of(source.directory);
    work_ = new Work(*this, *watch_, std::move(source));
    work_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, work_, &QObject::deleteLater);
    thread_.start();
    QMetaObject::invokeMethod(
        work_, [work = work_] { work->look(); }, Qt::QueuedConnection);
}

void ArchiveFeed::setFollowing(bool on) {
    following_ = on;
    if (work_)
        QMetaObject::invokeMethod(
            work_, [work = work_] { work->look(); }, Qt::QueuedConnection);
}

}  // namespace kelvarox

#include "ui/ArchiveFeed.h"

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "archive/Archive.h"
#include "core/BlockFiles.h"
#include "core/Errors.h"
#include "render/TextCodec.h"

namespace kelvarox {

namespace {

// The directory is read again this often, besides whenever the system reports a change: a file
// that grows to its full length after it appeared is no change of the directory.
constexpr auto kRescanInterval = std::chrono::seconds(2);

// A file as it was when it was read: read again when either changes.
struct FileStamp {
    int64_t size = -1;
    int64_t modified = 0;  // nanoseconds
    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
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

}  // namespace

ArchiveFeed::ArchiveFeed(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Wake(); });
}

ArchiveFeed::~ArchiveFeed() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void ArchiveFeed::Start(Source source) {
    if (thread_.joinable()) return;
    if (source.directory.empty()) {
        status_ = QStringLiteral("No telemetry directory: nothing is added to the archive");
        emit statusChanged(status_);
        return;
    }
    watcher_.addPath(PathToQt(source.directory));
    thread_ = std::thread([this, source = std::move(source)] { Run(source); });
}

void ArchiveFeed::SetFollowing(bool on) {
    following_ = on;
    if (on) Wake();
}

void ArchiveFeed::Wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    changed_.notify_all();
}

bool ArchiveFeed::WaitForWork(bool firstPass) {
    std::unique_lock lock(mutex_);
    if (firstPass) return !stop_;
    do {
        changed_.wait_for(lock, kRescanInterval, [this] { return stop_ || woken_; });
        woken_ = false;
    } while (!stop_ && !following_);
    return !stop_;
}

void ArchiveFeed::PostProgress(int done, int total) {
    QMetaObject::invokeMethod(
        this,
        [this, done, total] {
            done_ = done;
            total_ = total;
            emit progressChanged(done, total);
        },
        Qt::QueuedConnection);
}

void ArchiveFeed::PostStatus(const std::string& text) {
    QMetaObject::invokeMethod(
        this,
        [this, text = ToQt(text)] {
            status_ = text;
            emit statusChanged(text);
        },
        Qt::QueuedConnection);
}

void ArchiveFeed::Run(Source source) {
    const std::string directory = source.directory.back() == '/' ? source.directory : source.directory + "/";
    std::map<std::string, FileStamp> read;  // the files read, and how they were
    std::unique_ptr<archive::Archive> archive;
    Totals totals;
    std::string lastError;
    for (bool firstPass = true; WaitForWork(firstPass); firstPass = false) {
        std::vector<std::string> names;
        int error = 0;
        if (!ListBlockFileNames(source.directory, names, error)) {
            const std::string message = "Cannot read " + source.directory + ": " + std::strerror(error);
            if (message != lastError) PostStatus(message);
            lastError = message;
            continue;
        }
        std::vector<std::pair<std::string, FileStamp>> fresh;
        for (const std::string& name : names) {
            const auto stamp = StampOf(directory + name);
            const auto known = read.find(name);
            if (stamp && (known == read.end() || !(known->second == *stamp))) fresh.emplace_back(name, *stamp);
        }
        if (fresh.empty()) continue;
        try {
            if (!archive) archive = std::make_unique<archive::Archive>(source.archive, archive::Archive::Access::Write);
            archive::Importer importer(*archive, source.orbitHiByte, false);
            const int total = static_cast<int>(fresh.size());
            auto lastPost = std::chrono::steady_clock::now();
            PostProgress(0, total);
            for (int i = 0; i < total; ++i) {
                {
                    std::lock_guard lock(mutex_);
                    if (stop_) return;  // the blocks of the batch not committed are added next time
                }
                const auto& [name, stamp] = fresh[static_cast<size_t>(i)];
                archive::Intake intake = archive::ReadBlockForArchive(directory + name, source.layout);
                if (intake.block) importer.Add(std::move(*intake.block));
                else ++totals.failed;
                if (std::chrono::steady_clock::now() - lastPost > std::chrono::milliseconds(200)) {
                    PostProgress(i + 1, total);
                    lastPost = std::chrono::steady_clock::now();
                }
            }
            importer.Finish();
            for (const auto& [name, stamp] : fresh) read[name] = stamp;
            totals.added += importer.Counts().added;
            totals.alreadyStored += importer.Counts().alreadyStored;
            totals.failed += importer.Counts().refused;
            totals.unsure += importer.Unsure().size();
            lastError.clear();
            PostProgress(total, 0);
            PostStatus(totals.Text());
        } catch (const KelvaroxError& e) {
            // The archive cannot be written now; the files are tried again at the next pass.
            archive.reset();
            PostProgress(0, 0);
            const std::string message = std::string("Archive: ") + e.what();
            if (message != lastError) PostStatus(message);
            lastError = message;
        }
    }
}

}  // namespace kelvarox

#include "settings/SettingsStore.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <thread>

#include <QDeadlineTimer>
#include <QFile>
#include <QLockFile>

#include "settings/FileReplacement.h"
#include "settings/RegistryText.h"

namespace kelvarox {

namespace {

// A write holds the lock for milliseconds. Another copy asks again as soon as a file of the
// folder goes (or after a few milliseconds at most) and gives up after a quarter of a second:
// the window waiting meanwhile does not answer.
constexpr int kLockRetryMs = 5;
constexpr int kLockWaitMs = 250;
// A lock file older than this whose owner no longer holds it is taken over. A live owner
// keeps its file locked at the system level, so it is never taken from it.
constexpr int kStaleLockMs = 2000;
// A file modified this shortly before it was read may have been modified again since, within
// the same tick of the file system's clock, and so with the same times.
constexpr int64_t kSameTickNs = 2'000'000'000;

int64_t Nanoseconds(const timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

int64_t NowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

// What tells one state of a file from another without reading it.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;

    explicit FileIdentity(const struct stat& info = {})
        : device(info.st_dev), inode(info.st_ino), size(info.st_size), modifiedNs(Nanoseconds(info.st_mtim)),
          changedNs(Nanoseconds(info.st_ctim)) {}
    bool operator==(const FileIdentity&) const = default;
};

SettingsStore::Contents UnusableContents(std::string problem) {
    SettingsStore::Contents contents;
    contents.state = SettingsStore::FileState::Unusable;
    contents.problem = std::move(problem);
    return contents;
}

std::string CannotBeRead(int error) { return std::string("it cannot be read (") + std::strerror(error) + ")"; }

bool ReadAll(int fd, std::string& bytes) {
    char buffer[1 << 16];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

SettingsStore::Contents ParseContents(std::string_view bytes) {
    RegistryParseError error;
    auto document = ParseRegistryText(bytes, &error);
    if (!document) return UnusableContents("line " + std::to_string(error.line) + " " + error.reason);
    SettingsStore::Contents contents;
    contents.state = SettingsStore::FileState::Parsed;
    contents.document = std::move(*document);
    return contents;
}

// Tries the lock again and again for a short while; the error of the last try. Between tries
// it waits for a removal in the lock's folder, the holder's unlock, so that a copy that waits
// gets the lock as soon as it is free, before the holder can take it again for its next write.
QLockFile::LockError TakeLock(QLockFile& lock, const std::string& folder) {
    const int removals = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (removals >= 0) ::inotify_add_watch(removals, folder.c_str(), IN_DELETE | IN_MOVED_FROM);
    const QDeadlineTimer deadline(kLockWaitMs);
    QLockFile::LockError result = QLockFile::NoError;
    while (!lock.tryLock(0)) {
        result = lock.error();
        if (result != QLockFile::LockFailedError || deadline.hasExpired()) break;
        result = QLockFile::NoError;
        const int wait = static_cast<int>(std::min<qint64>(kLockRetryMs, deadline.remainingTime()));
        if (removals < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
            continue;
        }
        pollfd ready{removals, POLLIN, 0};
        if (::poll(&ready, 1, wait) > 0) {
            alignas(inotify_event) char events[4096];
            while (::read(removals, events, sizeof events) > 0) {}
        }
    }
    if (removals >= 0) ::close(removals);
    return result;
}

// What processes killed in the middle of a write leave beside the file. QLockFile takes over
// a stale lock under a second lock, "<lock>.rmlock"; taking and dropping that one removes it
// when its owner is gone (by process id, or by age when the id cannot tell) and leaves it to a
// live owner. Copies of the file written but never renamed go the same way.
void RemoveLeftovers(const QString& lockPath, const std::string& filePath) {
    const QString removalLock = lockPath + QStringLiteral(".rmlock");
    if (QFile::exists(removalLock)) {
        QLockFile leftover(removalLock);
        leftover.setStaleLockTime(kStaleLockMs);
        if (leftover.tryLock(0)) leftover.unlock();
    }
    RemoveAbandonedCopies(filePath);
}

}  // namespace

struct SettingsStore::Cache {
    std::mutex mutex;
    FileIdentity identity;
    int64_t readAtNs = 0;
    std::shared_ptr<const Contents> contents;
};

SettingsStore::SettingsStore(std::string filePath, Access access) : SettingsStore(std::move(filePath), access, {}) {}

SettingsStore::SettingsStore(std::string filePath, Access access, std::string noFileReason)
    : filePath_(std::move(filePath)), access_(access), noFileReason_(std::move(noFileReason)),
      cache_(std::make_shared<Cache>()) {}

SettingsStore SettingsStore::UserStore(Access access) {
    std::string folder;
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/') {
        folder = configHome;
    } else {  // a relative XDG_CONFIG_HOME is ignored, as the XDG rules say
        const char* home = std::getenv("HOME");
        if (!home || home[0] == '\0') return SettingsStore(std::string(), access, "HOME is not set");
        if (home[0] != '/') return SettingsStore(std::string(), access, "HOME is not an absolute path");
        folder = std::string(home) + "/.config";
    }
    return SettingsStore(folder + "/kelvarox/user.reg", access);
}

std::shared_ptr<const SettingsStore::Contents> SettingsStore::Snapshot() const {
    if (filePath_.empty()) return std::make_shared<const Contents>();
    struct stat info {};
    if (::stat(filePath_.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::make_shared<const Contents>();
        return std::make_shared<const Contents>(UnusableContents(CannotBeRead(errno)));
    }
    if (!S_ISREG(info.st_mode)) return std::make_shared<const Contents>(UnusableContents("it is not a regular file"));

    std::lock_guard<std::mutex> guard(cache_->mutex);
    const FileIdentity now(info);
    if (cache_->contents && cache_->identity == now && now.modifiedNs + kSameTickNs < cache_->readAtNs)
        return cache_->contents;

    const int64_t readAt = NowNs();
    const int fd = ::open(filePath_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::make_shared<const Contents>(UnusableContents(CannotBeRead(errno)));
    std::string bytes;
    const bool read = ::fstat(fd, &info) == 0 && ReadAll(fd, bytes);
    const int error = errno;
    ::close(fd);
    if (!read) return std::make_shared<const Contents>(UnusableContents(CannotBeRead(error)));

    cache_->identity = FileIdentity(info);
    cache_->readAtNs = readAt;
    cache_->contents = std::make_shared<const Contents>(ParseContents(bytes));
    return cache_->contents;
}

std::string SettingsStore::Warning() const {
    if (!noFileReason_.empty())
        return "There is no home folder for the settings (" + noFileReason_ +
               "). Kelvarox runs with its defaults and saves nothing.";
    const auto contents = Snapshot();
    if (contents->state != FileState::Unusable) return std::string();
    return "The settings file '" + filePath_ + "' is not used: " + contents->problem +
           ". Kelvarox leaves it as it is and runs with its defaults.";
}

SettingsStore::UpdateResult SettingsStore::Update(const std::function<bool(RegistryDocument&)>& change) const {
    if (filePath_.empty() || IsReadOnly()) return UpdateResult::Failed;
    const std::string folder = std::filesystem::path(filePath_).parent_path().string();
    if (!folder.empty() && !CreateFolders(folder)) return UpdateResult::Failed;

    const QString lockPath = QFile::decodeName(QByteArray::fromStdString(filePath_ + ".lock"));
    QLockFile lock(lockPath);
    lock.setStaleLockTime(kStaleLockMs);
    switch (TakeLock(lock, folder.empty() ? std::string(".") : folder)) {
        case QLockFile::NoError:
            break;
        case QLockFile::LockFailedError:
            return UpdateResult::Locked;
        default:
            return UpdateResult::Failed;
    }
    RemoveLeftovers(lockPath, filePath_);

    const auto current = Snapshot();
    if (current->state == FileState::Unusable) return UpdateResult::Failed;
    RegistryDocument document = current->document;
    if (!change(document)) return UpdateResult::Unchanged;
    const bool saved = ReplaceFileContents(filePath_, WriteRegistryText(document)) == ReplaceResult::Replaced;
    return saved ? UpdateResult::Saved : UpdateResult::Failed;
}

}  // namespace kelvarox

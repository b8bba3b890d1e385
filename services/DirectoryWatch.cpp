#include "services/DirectoryWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>

namespace kelvarox {

namespace {

constexpr uint32_t kWritten = IN_CLOSE_WRITE | IN_MOVED_TO;
constexpr uint32_t kTouched = IN_CREATE | IN_MODIFY | IN_ATTRIB;
constexpr uint32_t kRemoved = IN_DELETE | IN_MOVED_FROM;
constexpr uint32_t kGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

std::mutex watchesMutex;
std::map<std::string, std::weak_ptr<DirectoryWatch>> watches;  // under watchesMutex

}  // namespace

std::shared_ptr<DirectoryWatch> DirectoryWatch::of(const std::string& directory) {
    std::error_code ignored;
    std::filesystem::path path = std::filesystem::absolute(directory, ignored).lexically_normal();
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) path = path.parent_path();
    const std::string key = path.string();
    std::lock_guard lock(watchesMutex);
    if (auto shared = watches[key].lock()) return shared;
    std::shared_ptr<DirectoryWatch> made(new DirectoryWatch(key));
    watches[key] = made;
    return made;
}

DirectoryWatch::DirectoryWatch(std::string directory)
    : directory_(std::move(directory)), inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    qRegisterMetaType<Changes>();
    if (inotify_ < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(inotify_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { read(); });
}

DirectoryWatch::~DirectoryWatch() {
    notifier_.reset();
    if (inotify_ >= 0) ::close(inotify_);
    std::lock_guard lock(watchesMutex);
    if (const auto found = watches.find(directory_); found != watches.end() && found->second.expired())
        watches.erase(found);
}

bool DirectoryWatch::watch(int& error) {
    std::lock_guard lock(mutex_);
    error = 0;
    if (watch_ >= 0) return true;
    if (inotify_ < 0) {
        error = ENOSYS;
        return false;
    }
    watch_ = ::inotify_add_watch(inotify_, directory_.c_str(),
                                 kWritten | kTouched | kRemoved | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
    if (watch_ < 0) error = errno;
    return watch_ >= 0;
}

bool DirectoryWatch::watching() const {
    std::lock_guard lock(mutex_);
    return watch_ >= 0;
}

void DirectoryWatch::read() {
    Changes changes;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(inotify_, buffer, sizeof buffer);
        if (length <= 0) break;
        std::lock_guard lock(mutex_);
        for (ssize_t at = 0; at < length;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const std::string name = event.len ? std::string(buffer + at + sizeof event) : std::string();
            at += static_cast<ssize_t>(sizeof event + event.len);
            if (event.mask & IN_Q_OVERFLOW) {
                changes.overflowed = true;
                continue;
            }
            // Events of a watch given up before belong to no directory watched now.
            if (event.wd != watch_) continue;
            if (event.mask & kGone) {
                changes.gone = true;
                if (!(event.mask & IN_IGNORED)) ::inotify_rm_watch(inotify_, watch_);
                watch_ = -1;
                continue;
            }
            if (name.empty()) continue;
            if (event.mask & kWritten)
                changes.written.push_back(name);
            else if (event.mask & kRemoved)
                changes.removed.push_back(name);
            else if (event.mask & kTouched)
                changes.touched.push_back(name);
        }
    }
    if (changes.gone || changes.overflowed || !changes.written.empty() || !changes.touched.empty() ||
        !changes.removed.empty())
        emit changed(changes);
}

}  // namespace kelvarox

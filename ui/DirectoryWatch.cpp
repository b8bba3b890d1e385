#include "ui/DirectoryWatch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace kelvarox {

namespace {

constexpr uint32_t kWritten = IN_CLOSE_WRITE | IN_MOVED_TO;
constexpr uint32_t kTouched = IN_CREATE | IN_MODIFY | IN_ATTRIB;
constexpr uint32_t kRemoved = IN_DELETE | IN_MOVED_FROM;
constexpr uint32_t kGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

}  // namespace

DirectoryWatch::DirectoryWatch()
    : inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

DirectoryWatch::~DirectoryWatch() {
    if (inotify_ >= 0) ::close(inotify_);
    if (wake_ >= 0) ::close(wake_);
}

bool DirectoryWatch::Watch(const std::string& directory, int& error) {
    Unwatch();
    if (inotify_ < 0) {
        error = ENOSYS;
        return false;
    }
    watch_ = ::inotify_add_watch(inotify_, directory.c_str(),
                                 kWritten | kTouched | kRemoved | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
    error = watch_ < 0 ? errno : 0;
    return watch_ >= 0;
}

void DirectoryWatch::Unwatch() {
    if (watch_ >= 0) ::inotify_rm_watch(inotify_, watch_);
    watch_ = -1;
}

DirectoryWatch::Changes DirectoryWatch::Wait(int timeoutMs) {
    Changes changes;
    pollfd fds[2] = {{inotify_, POLLIN, 0}, {wake_, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) <= 0) return changes;
    if (fds[1].revents & POLLIN) {
        uint64_t count = 0;
        if (::read(wake_, &count, sizeof count) == sizeof count) changes.interrupted = true;
    }
    if (fds[0].revents & POLLIN) Read(changes);
    return changes;
}

void DirectoryWatch::Interrupt() {
    const uint64_t one = 1;
    if (::write(wake_, &one, sizeof one) != sizeof one) {
        // The counter is full: a wake is pending already.
    }
}

void DirectoryWatch::Read(Changes& changes) {
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(inotify_, buffer, sizeof buffer);
        if (length <= 0) return;
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
                Unwatch();
                continue;
            }
            if (name.empty()) continue;
            if (event.mask & kWritten) changes.written.push_back(name);
            else if (event.mask & kRemoved) changes.removed.push_back(name);
            else if (event.mask & kTouched) changes.touched.push_back(name);
        }
    }
}

}  // namespace kelvarox

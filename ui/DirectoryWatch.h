#pragma once
// The changes of one directory as the system reports them (inotify): which names were written,
// moved in or removed, and whether the directory itself went away, so that a follower looks at
// those names alone and never lists a large directory again while nothing happens in it. A wait
// for changes can be cut short from another thread.
#include <string>
#include <vector>

namespace kelvarox {

class DirectoryWatch {
public:
    DirectoryWatch();
    ~DirectoryWatch();
    DirectoryWatch(const DirectoryWatch&) = delete;
    DirectoryWatch& operator=(const DirectoryWatch&) = delete;

    // Starts watching `directory` (the one watched before is left); false, with the system's
    // error number in `error`, when it cannot be watched (gone, no directory, not readable).
    bool Watch(const std::string& directory, int& error);
    void Unwatch();
    bool Watching() const { return watch_ >= 0; }

    struct Changes {
        std::vector<std::string> written;  // closed after writing, or moved in: complete
        std::vector<std::string> touched;  // made or changed, perhaps still being written
        std::vector<std::string> removed;  // deleted or moved away
        bool overflowed = false;           // changes were lost: the directory must be listed again
        bool gone = false;                 // the directory was deleted or moved away: no longer watched
        bool interrupted = false;          // Interrupt was called
    };
    // Waits up to `timeoutMs` milliseconds (no limit when negative) for changes or Interrupt,
    // and returns what came.
    Changes Wait(int timeoutMs);
    // Ends a Wait in progress, or the next one, at once. From any thread.
    void Interrupt();

private:
    void Read(Changes& changes);

    int inotify_ = -1;
    int wake_ = -1;  // an eventfd that Interrupt writes to
    int watch_ = -1;
};

}  // namespace kelvarox

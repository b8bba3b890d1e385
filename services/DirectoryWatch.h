#pragma once
// The changes of one directory as the system reports them (inotify): which names were written,
// moved in or removed, and whether the directory itself went away, so that a follower looks at
// those names alone and never lists a large directory again while nothing happens in it.
//
// Everyone in the program who follows a directory (the file list, the archive feed) shares one
// watch of it: Of() gives the one of that directory. It reads the system's reports in the thread
// that first asked for it, and tells them to followers in any thread through `changed`.
#include <QObject>
#include <QSocketNotifier>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kelvarox {

class DirectoryWatch : public QObject {
    Q_OBJECT
public:
    // The watch of `directory` (made absolute, without "." and ".." steps), made when no one
    // holds one; it is given up when the last holder lets it go.
    static std::shared_ptr<DirectoryWatch> of(const std::string& directory);
    ~DirectoryWatch() override;

    const std::string& directory() const { return directory_; }

    // Watches the directory unless it is watched; false, with the system's error number in
    // `error`, when it cannot be watched (gone, no directory, not readable). From any thread.
    bool watch(int& error);
    bool watching() const;

    struct Changes {
        std::vector<std::string> written;  // closed after writing, or moved in: complete
        std::vector<std::string> touched;  // made or changed, perhaps still being written
        std::vector<std::string> removed;  // deleted or moved away
        bool overflowed = false;           // changes were lost: the directory must be listed again
        bool gone = false;                 // the directory was deleted or moved away: no longer watched
    };

signals:
    void changed(const kelvarox::DirectoryWatch::Changes& changes);

private:
    explicit DirectoryWatch(std::string directory);
    void read();

    const std::string directory_;
    int inotify_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    mutable std::mutex mutex_;
    int watch_ = -1;  // under mutex_
};

}  // namespace kelvarox

Q_DECLARE_METATYPE(kelvarox::DirectoryWatch::Changes)

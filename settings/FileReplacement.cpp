#include "settings/FileReplacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <ctime>
#include <random>

namespace kelvarox {

namespace {

constexpr std::string_view kCopyInfix = ".tmp-";
constexpr size_t kCopyLetters = 6;
constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// A copy older than this is abandoned whatever its process id says (the id may have been
// given to another process since).
constexpr time_t kAbandonedAfterSeconds = 600;
// Links of links end somewhere; a loop of links does not.
constexpr int kMaxLinks = 40;

std::string Folder(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path names after following its symbolic links.
std::string FollowLinks(std::string path) {
    for (int depth = 0; depth < kMaxLinks; ++depth) {
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
        if (n < 0 || static_cast<size_t>(n) == sizeof buffer) break;
        std::string target(buffer, static_cast<size_t>(n));
        if (target.front() != '/' && path.find('/') != std::string::npos) target = Folder(path) + "/" + target;
        path = std::move(target);
    }
    return path;
}

std::string RandomLetters() {
    static thread_local std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<size_t> pick(0, kLetters.size() - 1);
    std::string letters;
    for (size_t i = 0; i < kCopyLetters; ++i) letters.push_back(kLetters[pick(random)]);
    return letters;
}

// The process id in the name of a copy of `fileName`; 0 for a name of any other form.
pid_t CopyOwner(std::string_view name, std::string_view fileName) {
    if (!name.starts_with(fileName) || !name.substr(fileName.size()).starts_with(kCopyInfix)) return 0;
    name.remove_prefix(fileName.size() + kCopyInfix.size());
    pid_t pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (ec != std::errc() || pid <= 0) return 0;
    const std::string_view letters(end, static_cast<size_t>(name.data() + name.size() - end));
    if (letters.size() != kCopyLetters + 1 || letters.front() != '-') return 0;
    for (char c : letters.substr(1))
        if (kLetters.find(c) == std::string_view::npos) return 0;
    return pid;
}

// Gives the file to the owner of the folder it is in, when running as root.
void GiveToFolderOwner(int fd, const std::string& folder) {
    struct stat info {};
    if (::geteuid() != 0 || ::stat(folder.c_str(), &info) != 0) return;
    [[maybe_unused]] const int given = ::fchown(fd, info.st_uid, info.st_gid);
}

bool IsRunning(pid_t pid) { return ::kill(pid, 0) == 0 || errno != ESRCH; }

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The rename itself reaches the disk only with its folder.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes) {
    const std::string target = FollowLinks(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (!S_ISREG(old.st_mode)) return ReplaceResult::Failed;
        if ((old.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            return ReplaceResult::ReadOnly;
    }

    const std::string prefix = target + std::string(kCopyInfix) + std::to_string(::getpid()) + "-";
    std::string copy;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        copy = prefix + RandomLetters();
        fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return ReplaceResult::Failed;
    }
    if (fd < 0) return ReplaceResult::Failed;

    bool written = WriteAll(fd, bytes);
    if (!exists) GiveToFolderOwner(fd, Folder(target));
    if (written && exists) {
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            // Only root may give a file away; anyone else keeps the copy as their own.
            [[maybe_unused]] const int given = ::fchown(fd, old.st_uid, old.st_gid);
        }
        written = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    written = written && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(copy.c_str(), target.c_str()) != 0) {
        ::unlink(copy.c_str());
        return ReplaceResult::Failed;
    }
    SyncFolder(Folder(target));
    return ReplaceResult::Replaced;
}

bool CreateFolders(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
    const std::string parent = Folder(folder);
    if (parent != folder && !CreateFolders(parent)) return false;
    if (::mkdir(folder.c_str(), 0777) != 0)
        return errno == EEXIST && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        GiveToFolderOwner(fd, parent);
        ::close(fd);
    }
    return true;
}

void RemoveAbandonedCopies(const std::string& path) {
    const std::string target = FollowLinks(path);
    const std::string folder = Folder(target);
    const std::string fileName = FileName(target);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = CopyOwner(entry->d_name, fileName);
        if (owner == 0) continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
        if (!IsRunning(owner) || now - info.st_mtime > kAbandonedAfterSeconds)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace kelvarox

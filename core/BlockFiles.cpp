#include "core/BlockFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "core/Text.h"

namespace kelvarox {

namespace {

// An open directory, closed when its handle goes.
struct DirectoryCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirectoryHandle = std::unique_ptr<DIR, DirectoryCloser>;

}  // namespace

bool IsBlockFileName(std::string_view name) {
    return EndsWithIgnoringCase(name, ".dat") || EndsWithIgnoringCase(name, ".tlm");
}

bool IsBlockFilePath(std::string_view path) {
    const size_t slash = path.rfind('/');
    return IsBlockFileName(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool BlockFileNameLess(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char x = AsciiLower(a[i]), y = AsciiLower(b[i]);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

int DirectoryOpenError(const std::string& directory) {
    const DirectoryHandle dir(::opendir(directory.c_str()));
    return dir ? 0 : errno;
}

bool ForEachBlockFileName(const std::string& directory, const std::function<void(std::string_view)>& each, int& error,
                          const std::atomic<bool>* cancelled) {
    const DirectoryHandle dir(::opendir(directory.c_str()));
    if (!dir) {
        error = errno;
        return false;
    }
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        if (cancelled && cancelled->load(std::memory_order_relaxed)) break;
        const std::string_view name = entry->d_name;
        if (!IsBlockFileName(name)) continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            regular = ::fstatat(dirFd, entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (regular) each(name);
    }
    error = 0;
    return true;
}

bool ListBlockFileNames(const std::string& directory, std::vector<std::string>& names, int& error,
                        const std::atomic<bool>* cancelled) {
    names.clear();
    if (!ForEachBlockFileName(
            directory, [&](std::string_view name) { names.emplace_back(name); }, error, cancelled))
        return false;
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return BlockFileNameLess(a, b); });
    return true;
}

}  // namespace kelvarox

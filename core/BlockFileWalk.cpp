#include "core/BlockFileWalk.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>

#include "core/BlockFiles.h"

namespace kelvarox {

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool HasBlockFiles(const std::string& directory) {
    std::atomic<bool> found{false};
    int error = 0;
    (void)ForEachBlockFileName(
        directory, [&](std::string_view) { found = true; }, error, &found);
    return found;
}

BlockFileWalk::BlockFileWalk(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {}

std::optional<BlockFileWalk::Step> BlockFileWalk::Next() {
    while (name_ == starts_.size()) {
        names_.clear();
        starts_.clear();
        name_ = 0;
        if (argument_ == arguments_.size()) return std::nullopt;
        const std::string& argument = arguments_[argument_++];
        if (!IsDirectory(argument)) return Step{argument, 0};
        int error = 0;
        if (!ListDirectory(argument, error)) return Step{argument, error};
        directory_ = argument.back() == '/' ? argument : argument + "/";
    }
    return Step{directory_ + std::string(Name(name_++)), 0};
}

bool BlockFileWalk::ListDirectory(const std::string& directory, int& error) {
    const bool listed = ForEachBlockFileName(
        directory,
        [&](std::string_view name) {
            starts_.push_back(names_.size());
            names_.append(name);
            names_.push_back('\0');
        },
        error);
    std::sort(starts_.begin(), starts_.end(),
              [&](size_t a, size_t b) { return BlockFileNameLess(names_.data() + a, names_.data() + b); });
    return listed;
}

std::string_view BlockFileWalk::Name(size_t i) const { return names_.data() + starts_[i]; }

size_t BlockFileWalk::CountFiles(const std::vector<std::string>& arguments) {
    size_t count = 0;
    for (const auto& argument : arguments) {
        int error = 0;
        if (!IsDirectory(argument))
            ++count;
        else
            (void)ForEachBlockFileName(
                argument, [&](std::string_view) { ++count; }, error);
    }
    return count;
}

}  // namespace kelvarox

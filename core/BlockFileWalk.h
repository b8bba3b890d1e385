#pragma once
// The files that paths name (command-line arguments, or the files an import is given), one at a
// time, as csv and every import take them: a file as it is, a directory's block files in the file list's name order. A
// directory is listed when the walk reaches it, and only its names are held, packed in one buffer, so memory stays
// small however many files the arguments name.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarox {

// Whether `path` names a directory (or a link to one).
bool IsDirectory(const std::string& path);

// Whether the directory holds a block file; false too when it cannot be listed.
bool HasBlockFiles(const std::string& directory);

class BlockFileWalk {
public:
    explicit BlockFileWalk(std::vector<std::string> arguments);

    struct Step {
        std::string path;
        int error = 0;  // a directory that cannot be listed: the system's error number
    };
    // The next file, or a directory that cannot be listed; nothing after the last.
    std::optional<Step> Next();

    // How many files the walk gives, counted by listing the directories once.
    static size_t CountFiles(const std::vector<std::string>& arguments);

private:
    bool ListDirectory(const std::string& directory, int& error);
    std::string_view Name(size_t i) const;

    std::vector<std::string> arguments_;
    size_t argument_ = 0;
    std::string directory_;       // the directory being walked, with its trailing '/'
    std::string names_;           // its block file names, each ended by '\0'
    std::vector<size_t> starts_;  // where each name begins in names_, in name order
    size_t name_ = 0;
};

}  // namespace kelvarox

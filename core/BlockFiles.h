#pragma once
// Which files of a telemetry directory are block files, and their order.
#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarox {

// A name ending in .dat or .tlm, in any case.
bool IsBlockFileName(std::string_view name);

// A path whose last name is a block file name.
bool IsBlockFilePath(std::string_view path);

// Name order of the file list: letters compared without regard to case, then byte by byte.
bool BlockFileNameLess(std::string_view a, std::string_view b);

// 0 when `directory` can be opened for listing, else the system's error number.
[[nodiscard]] int DirectoryOpenError(const std::string& directory);

// Calls each(name) for the block files of `directory` (regular files and links to regular
// files) in the order the directory gives them. `cancelled`, when given and raised, stops the
// listing early. Returns false, with the system's error number in `error`, when the directory
// cannot be opened.
[[nodiscard]] bool ForEachBlockFileName(const std::string& directory, const std::function<void(std::string_view)>& each,
                                        int& error, const std::atomic<bool>* cancelled = nullptr);

// The names of the block files of `directory`: regular files and links to regular files, in
// name order. `cancelled`, when given and raised, stops the listing early. Returns false, with
// the system's error number in `error`, when the directory cannot be opened.
[[nodiscard]] bool ListBlockFileNames(const std::string& directory, std::vector<std::string>& names, int& error,
                                      const std::atomic<bool>* cancelled = nullptr);

}  // namespace kelvarox

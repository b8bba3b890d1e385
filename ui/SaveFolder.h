#pragma once
// The folder of the last file a window saved: the next file it saves is offered there.
#include <filesystem>
#include <string>

namespace kelvarox {

class SaveFolder {
public:
    // `name` in the folder; `name` alone before the window has saved a file.
    std::string In(const std::string& name) const {
        return folder_.empty() ? name : (std::filesystem::path(folder_) / name).string();
    }
    void Remember(const std::string& savedFile) { folder_ = std::filesystem::path(savedFile).parent_path().string(); }

private:
    std::string folder_;
};

}  // namespace kelvarox

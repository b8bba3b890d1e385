#pragma once
// Replacing a file in one step: readers see the old text or the new one, never a part, and a
// crash leaves the old file whole. The writer must hold the file's lock (SettingsStore).
#include <string>
#include <string_view>

namespace kelvarox {

enum class ReplaceResult {
    Replaced,
    ReadOnly,  // the file's permissions do not let the caller write it
    Failed,    // the folder or the disk refused the write
};

// Writes `bytes` into a new copy beside the file, named <file>.tmp-<process id>-<6 letters>,
// gives it the owner (when the caller may, as root may) and the permission bits of the file it
// replaces (for a new file the usual bits, and as root the owner of its folder), and renames it
// over the file. A path that is a
// symbolic link is followed, so the link stays. A file without write permission for the caller,
// or with no write bit at all, stays as it is: read-only means read-only, for root as well.
ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes);

// Creates the folder and those above it that are missing. Running as root, each new folder
// gets the owner of the folder it is created in, so that a run as root with a user's home
// leaves the user's folders to the user. False when a folder cannot be created.
bool CreateFolders(const std::string& folder);

// Removes the copies of the file that writers killed before their rename left: copies of a
// process that no longer runs, or older than ten minutes. Only the holder of the file's lock
// calls it, so no copy it removes can belong to a write in progress.
void RemoveAbandonedCopies(const std::string& path);

}  // namespace kelvarox

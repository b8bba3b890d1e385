#pragma once
// The one way blocks come into the archive, for the command line's archive add and for the
// window's feed alike: the files that paths name (a directory's own block files, in name
// order, each directory listed when it is reached) read and decoded in a thread of their own,
// a bounded number ahead of the batches that store them.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/Archive.h"

namespace kelvarox::archive {

struct ImportRequest {
    std::vector<std::string> paths;  // files and directories
    BlockLayout layout;
    int64_t orbitHiByte = 0;                         // of the earliest block, when the archive has none yet
    bool replaceOrbitHiByte = false;                 // make it the archive's and place every block again
    size_t readAhead = 2 * Importer::kDefaultBatch;  // files read ahead of the batches
    // Whose equations the archive's orbit statistics are made with (Archive::UseSatellite); the
    // archive's own when none.
    const SatelliteDefinition* satellite = nullptr;
};

// What the import tells while it runs, each in the thread that runs it; any may be empty.
struct ImportEvents {
    // A file that failed to load, with the message the main window would show (a directory that
    // cannot be listed: the system's reason).
    std::function<void(const std::string& file, const std::string& error)> failed;
    // A block the database refused on its own; the others were stored.
    std::function<void(const RefusedBlock& refused)> refused;
    // After each file: how many were read, and what the batches committed so far.
    std::function<void(size_t filesDone, const ImportCounts& committed)> progress;
    // A commit stored new blocks.
    std::function<void()> committed;
    // Raised from any thread: the import stops before the next file. The blocks of the batch
    // not yet committed are not stored; every stored block is whole and placed.
    const std::atomic<bool>* cancel = nullptr;
};

struct ImportResult {
    ImportCounts committed;
    int64_t failed = 0;  // files that failed to load (the refused blocks are counted in `committed`)
    bool cancelled = false;
    // Set when the import ran to its end.
    std::vector<UnsurePlacement> unsure;  // the blocks placed (or placed again) not for sure
    int64_t outliers = 0;                 // see Importer::Outliers
};

// Adds the blocks of the files of `request` to `archive`. Raises KelvaroxError when the archive
// fails; `result` then tells what was committed before.
void ImportFiles(Archive& archive, const ImportRequest& request, const ImportEvents& events, ImportResult& result);

}  // namespace kelvarox::archive

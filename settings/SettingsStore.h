#pragma once
// The settings file on disk: where it is, reading it, and changing it safely. Every read
// takes the file as it is now; every change is a read-modify-write under a lock file next to
// it and lands in one atomic rename, so two running copies lose nothing and a crash leaves
// the previous file whole.
#include <functional>
#include <memory>
#include <string>

#include "settings/RegistryDocument.h"

namespace kelvarox {

class SettingsStore {
public:
    // A store opened for reading only never writes its file: opening a key adds nothing and
    // every write fails. The command line uses it so that it leaves the user's file alone.
    enum class Access { ReadWrite, ReadOnly };

    // The store in the file at `filePath` (a local 8-bit path).
    explicit SettingsStore(std::string filePath, Access access = Access::ReadWrite);

    // The user's store: kelvarox/user.reg in $XDG_CONFIG_HOME when that is an absolute path,
    // else in $HOME/.config. Without a home (HOME unset, empty or relative) the store has no
    // file: it reads as empty, every write fails, and Warning() says why.
    static SettingsStore UserStore(Access access = Access::ReadWrite);

    const std::string& FilePath() const { return filePath_; }
    bool IsReadOnly() const { return access_ == Access::ReadOnly; }

    enum class FileState {
        Missing,   // no file yet: an empty store
        Parsed,    // a settings text
        Unusable,  // cannot be read, or is no settings text: read as empty, never overwritten
    };
    struct Contents {
        FileState state = FileState::Missing;
        RegistryDocument document;  // empty unless Parsed
        std::string problem;        // why an Unusable file is not used, e.g. "line 3 is not ..."
    };

    // The file as it is now. A file whose identity (device and inode), size, and change and
    // modification times (in nanoseconds) are those of the last read is not parsed again, unless
    // it was modified within two seconds before that read (a change within the same tick of the
    // file system's clock would leave its times as they were).
    [[nodiscard]] std::shared_ptr<const Contents> Snapshot() const;
    [[nodiscard]] Contents Read() const { return *Snapshot(); }

    // What the user should be told once at start-up about the store, in one sentence or two:
    // that there is no home for the settings, or which file cannot be used and why (the line
    // that is not understood). Empty when the store is usable.
    [[nodiscard]] std::string Warning() const;

    enum class UpdateResult {
        Saved,
        Unchanged,  // `change` changed nothing; nothing was written
        Locked,     // another program holds the lock and kept it past a short wait
        Failed,     // a store for reading only or without a file, an unusable file, a read-only
                    // file, a folder or disk that refuses the write
    };

    // Applies `change` to the file's current tree and saves the result, creating the folder
    // when needed; `change` returns false when it changed nothing. The whole of it happens under
    // the lock, so several values changed by one `change` land together. The wait for the lock
    // is short (a quarter of a second), so a window never stops answering for longer.
    [[nodiscard]] UpdateResult Update(const std::function<bool(RegistryDocument&)>& change) const;

private:
    struct Cache;
    SettingsStore(std::string filePath, Access access, std::string noFileReason);

    std::string filePath_;
    Access access_;
    std::string noFileReason_;      // why a user store has no file
    std::shared_ptr<Cache> cache_;  // shared by copies of the store, which name the same file
};

}  // namespace kelvarox

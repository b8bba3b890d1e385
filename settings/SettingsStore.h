#pragma once
// The settings file on disk: where it is, reading it, and changing it safely. Every read
// takes the file as it is now; every change is a read-modify-write under a lock file next to
// it and lands in one atomic rename, so two running copies lose nothing and a crash leaves
// the previous file whole.
#include <functional>
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

    // The user's store: kelvarox/user.reg in the generic configuration folder (~/.config).
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
    };

    [[nodiscard]] Contents Read() const;

    // Applies `change` to the file's current tree and saves the result, creating the folder
    // when needed; `change` returns false when it changed nothing, and nothing is written.
    // False when the store cannot be written: a store for reading only, a lock that cannot be
    // taken, a file that is unusable, a folder or file that refuses the write.
    [[nodiscard]] bool Update(const std::function<bool(RegistryDocument&)>& change) const;

private:
    std::string filePath_;
    Access access_;
};

}  // namespace kelvarox

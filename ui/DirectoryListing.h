#pragma once
// The block files of a directory: its regular files (links to regular files included) whose
// names end in .dat or .tlm in any case, sorted by name without regard to case.
#include <QString>
#include <QStringList>
#include <atomic>

namespace kelvarox {

// True for a name that the file list shows: *.dat or *.tlm, any case.
bool IsBlockFileName(const QString& name);

// Raises KelvaroxError with the system's text when the directory cannot be entered.
void CheckDirectoryCanBeEntered(const QString& directory);

// The names of the block files; empty when the directory cannot be read. A listing whose
// `cancelled` flag is raised stops early with what it has.
QStringList ListBlockFiles(const QString& directory, const std::atomic<bool>* cancelled = nullptr);

}  // namespace kelvarox

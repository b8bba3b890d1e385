#pragma once
// The block files of a directory as the file list shows them.
#include <QString>
#include <QStringList>
#include <atomic>

namespace kelvarox {

// Raises KelvaroxError with the system's text when the directory cannot be entered; the
// second says whether it can, without a message.
void CheckDirectoryCanBeEntered(const QString& directory);
bool DirectoryCanBeEntered(const QString& directory);

// The names of the block files in name order; empty when the directory cannot be read. A
// listing whose `cancelled` flag is raised stops early with what it has.
QStringList ListBlockFiles(const QString& directory, const std::atomic<bool>* cancelled = nullptr);

}  // namespace kelvarox

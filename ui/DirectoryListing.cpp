#include "ui/DirectoryListing.h"

#include <cstring>
#include <vector>

#include "core/BlockFiles.h"
#include "core/Errors.h"
#include "render/TextCodec.h"

namespace kelvarox {

void CheckDirectoryCanBeEntered(const QString& directory) {
    const std::string path = PathFromQt(directory);
    if (const int error = DirectoryOpenError(path))
        throw KelvaroxError("Cannot open the directory '" + path + "': " + std::strerror(error));
}

bool DirectoryCanBeEntered(const QString& directory) { return DirectoryOpenError(PathFromQt(directory)) == 0; }

QStringList ListBlockFiles(const QString& directory, const std::atomic<bool>* cancelled) {
    std::vector<std::string> names;
    int error = 0;
    QStringList list;
    if (!ListBlockFileNames(PathFromQt(directory), names, error, cancelled)) return list;
    list.reserve(static_cast<qsizetype>(names.size()));
    for (const auto& name : names) list.push_back(PathToQt(name));
    return list;
}

}  // namespace kelvarox

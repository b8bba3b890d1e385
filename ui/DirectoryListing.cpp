#include "ui/DirectoryListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/Errors.h"
#include "ui/TextCodec.h"

namespace kelvarox {

bool IsBlockFileName(const QString& name) {
    return name.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".tlm"), Qt::CaseInsensitive);
}

void CheckDirectoryCanBeEntered(const QString& directory) {
    const std::string path = PathFromQt(directory);
    DIR* dir = ::opendir(path.c_str());
    if (!dir) {
        const int error = errno;
        throw KelvaroxError("Cannot open the directory '" + path + "': " + std::strerror(error));
    }
    ::closedir(dir);
}

QStringList ListBlockFiles(const QString& directory, const std::atomic<bool>* cancelled) {
    QStringList names;
    const std::string path = PathFromQt(directory);
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return names;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (cancelled && cancelled->load(std::memory_order_relaxed)) break;
        const QString name = QFile::decodeName(entry->d_name);
        if (!IsBlockFileName(name)) continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            regular = ::fstatat(dirFd, entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (regular) names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

}  // namespace kelvarox

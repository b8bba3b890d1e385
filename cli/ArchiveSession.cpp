#include "cli/ArchiveSession.h"

#include "archive/ArchiveLocation.h"
#include "core/Errors.h"

namespace kelvarox::cli {

int UsageError(std::ostream& err, const std::string& reason) {
    err << "kelvarox-cli: " << reason << "\n\n" << kUsage;
    return 2;
}

int WithArchive(const Options& options, archive::Archive::Access access, std::ostream& err,
                const std::function<int(archive::Archive&)>& work) {
    const std::string location = options.database.empty() ? archive::DefaultArchiveLocation() : options.database;
    try {
        archive::Archive archive(location, access);
        return work(archive);
    } catch (const KelvaroxError& e) {
        err << "kelvarox-cli: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace kelvarox::cli

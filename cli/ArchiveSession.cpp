#include "cli/ArchiveSession.h"

#include "archive/ArchiveLocation.h"
#include "cli/TerminalText.h"
#include "core/ChannelCatalogue.h"
#include "core/Errors.h"

namespace kelvarox::cli {

int UsageError(std::ostream& err, const std::string& reason) {
    err << "kelvarox-cli: " << TerminalName(reason) << "\n\n" << kUsage;
    return 2;
}

int NoBlockOfChannel(std::ostream& err, int32_t channel) {
    err << "kelvarox-cli: no block of channel " << ChannelCatalogue::ChannelNumberText(channel) << " in the archive\n";
    return 1;
}

int WithArchive(const Options& options, archive::Archive::Access access, std::ostream& err,
                const std::function<int(archive::Archive&)>& work) {
    const std::string location = options.database.empty() ? archive::DefaultArchiveLocation() : options.database;
    try {
        archive::Archive archive(location, access);
        return work(archive);
    } catch (const KelvaroxError& e) {
        err << "kelvarox-cli: " << TerminalName(e.what()) << '\n';
        return 1;
    }
}

}  // namespace kelvarox::cli

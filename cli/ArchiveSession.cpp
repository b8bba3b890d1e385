#include "cli/ArchiveSession.h"

#include "cli/TerminalText.h"
#include "core/ChannelCatalogue.h"
#include "core/Errors.h"

namespace kelvarox::cli {

int NoBlockOfChannel(std::ostream& err, int32_t channel) {
    Report(err, "no block of channel " + ChannelCatalogue::ChannelNumberText(channel) + " in the archive");
    return 1;
}

int WithArchive(const Options& options, archive::Archive::Access access, std::ostream& err,
                const std::function<int(archive::Archive&)>& work) {
    try {
        archive::Archive archive(ArchiveLocationOf(options), access);
        return work(archive);
    } catch (const KelvaroxError& e) {
        Report(err, e.what());
        return 1;
    }
}

}  // namespace kelvarox::cli

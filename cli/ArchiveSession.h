#pragma once
// What the archive commands share: the archive they name, opened, and their failures reported.
#include <functional>
#include <ostream>
#include <string>

#include "archive/Archive.h"
#include "cli/CommandLine.h"

namespace kelvarox::cli {

// "kelvarox-cli: no block of channel #180 in the archive", and exit status 1.
int NoBlockOfChannel(std::ostream& err, int32_t channel);

// Opens the archive of --database (or the default one) and runs `work` on it. A failure of the
// archive (it cannot be opened or reached, or a statement fails) is reported in one line and
// gives exit status 1; everything committed before it stays.
int WithArchive(const Options& options, archive::Archive::Access access, std::ostream& err,
                const std::function<int(archive::Archive&)>& work);

}  // namespace kelvarox::cli

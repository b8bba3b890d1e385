#pragma once
// Where the archive is when the command line names none.
#include <string>

namespace kelvarox::archive {

// $KELVAROX_DATABASE when set; otherwise kelvarox/archive.sqlite in the user's data folder:
// $XDG_DATA_HOME when that is an absolute path, else ~/.local/share.
std::string DefaultArchiveLocation();

}  // namespace kelvarox::archive

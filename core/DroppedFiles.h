#pragma once
// The files of a drop, as a file manager offers them: a URI list (one URI a line, CR LF line
// ends, "#" comment lines) whose local files are `file:` URIs with their path percent-encoded.
#include <string>
#include <string_view>
#include <vector>

namespace kelvarox {

// The paths of the local files of `uriList`, as bytes, in the list's order; URIs of another
// scheme or host, and malformed ones, are left out.
std::vector<std::string> LocalPathsOfUriList(std::string_view uriList);

}  // namespace kelvarox

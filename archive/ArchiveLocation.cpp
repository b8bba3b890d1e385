#include "archive/ArchiveLocation.h"

#include <cstdlib>

namespace kelvarox::archive {

std::string DefaultArchiveLocation() {
    if (const char* named = std::getenv("KELVAROX_DATABASE"); named && *named) return named;
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        data = xdg;
    } else {
        const char* home = std::getenv("HOME");
        data = std::string(home ? home : "") + "/.local/share";
    }
    return data + "/kelvarox/archive.sqlite";
}

}  // namespace kelvarox::archive

#include "cli/GraphRender.h"

#include <array>
#include <utility>

#include "core/Text.h"

namespace kelvarox::cli {

const char* const kImageSuffixes = ".png, .jpg, .jpeg, .bmp or .svg";

std::optional<std::string> ImageFormatOf(const std::string& fileName) {
    static constexpr std::array<std::pair<const char*, const char*>, 5> kFormats = {
        {{".png", "PNG"}, {".jpg", "JPEG"}, {".jpeg", "JPEG"}, {".bmp", "BMP"}, {".svg", "SVG"}}};
    const std::string name = fileName.substr(fileName.rfind('/') + 1);
    for (const auto& [suffix, format] : kFormats)
        if (EndsWithIgnoringCase(name, suffix) && name.size() > std::string_view(suffix).size()) return format;
    return std::nullopt;
}

}  // namespace kelvarox::cli

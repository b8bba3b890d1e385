#include "core/PictureFormat.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/Text.h"

namespace kelvarox {

namespace {

struct Suffix {
    std::string_view suffix;
    PictureFormat format;
};

// In the order the messages list them.
constexpr std::array<Suffix, 6> kSuffixes = {{{".png", PictureFormat::Png},
                                              {".jpg", PictureFormat::Jpeg},
                                              {".jpeg", PictureFormat::Jpeg},
                                              {".bmp", PictureFormat::Bmp},
                                              {".svg", PictureFormat::Svg},
                                              {".pdf", PictureFormat::Pdf}}};

bool Offers(std::span<const PictureFormat> offered, PictureFormat format) {
    return std::find(offered.begin(), offered.end(), format) != offered.end();
}

}  // namespace

std::optional<PictureFormat> PictureFormatOf(std::string_view fileName, std::span<const PictureFormat> offered) {
    const std::string_view name = fileName.substr(fileName.rfind('/') + 1);
    for (const auto& [suffix, format] : kSuffixes)
        if (Offers(offered, format) && name.size() > suffix.size() && EndsWithIgnoringCase(name, suffix)) return format;
    return std::nullopt;
}

const char* PictureFormatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::Png:
            return "PNG";
        case PictureFormat::Jpeg:
            return "JPEG";
        case PictureFormat::Bmp:
            return "BMP";
        case PictureFormat::Svg:
            return "SVG";
        case PictureFormat::Pdf:
            return "PDF";
    }
    return "PNG";
}

std::string PictureSuffixes(std::span<const PictureFormat> offered) {
    std::vector<std::string_view> suffixes;
    for (const auto& [suffix, format] : kSuffixes)
        if (Offers(offered, format)) suffixes.push_back(suffix);
    return AlternativesText(suffixes);
}

}  // namespace kelvarox

#include "cli/GraphRender.h"

namespace kelvarox::cli {

PictureFormat OutputFormatOf(const Options& options, std::string_view writer) {
    const auto format = PictureFormatOf(options.output, kCommandLineFormats);
    if (!format) {
        throw UsageError(std::string(writer) + " writes " + PictureSuffixes(kCommandLineFormats) + " images, not '" +
                         options.output + "'");
    }
    return *format;
}

}  // namespace kelvarox::cli

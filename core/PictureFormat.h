#pragma once
// Picture files by the suffix of their names: the one table of the formats that the windows'
// Save Image and the command line's pictures are written in.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kelvarox {

enum class PictureFormat { Png, Jpeg, Bmp, Svg, Pdf };

// The formats each writer of pictures offers.
inline constexpr PictureFormat kGraphSaveFormats[] = {PictureFormat::Png, PictureFormat::Svg};
inline constexpr PictureFormat kTimeLineSaveFormats[] = {PictureFormat::Png, PictureFormat::Svg, PictureFormat::Pdf};
inline constexpr PictureFormat kFoldSaveFormats[] = {PictureFormat::Png, PictureFormat::Svg, PictureFormat::Pdf};
inline constexpr PictureFormat kCommandLineFormats[] = {PictureFormat::Png, PictureFormat::Jpeg, PictureFormat::Bmp,
                                                        PictureFormat::Svg};

// The format among `offered` that the suffix of the file name names (".png", ".jpg" or
// ".jpeg", ".bmp", ".svg", ".pdf", in any case); nothing for any other suffix and for a name
// that is the suffix alone.
std::optional<PictureFormat> PictureFormatOf(std::string_view fileName, std::span<const PictureFormat> offered);

// The format's name as the image writer and the messages spell it: "PNG", "JPEG", "BMP",
// "SVG", "PDF".
const char* PictureFormatName(PictureFormat format);

// The suffixes of `offered` for messages: ".png, .jpg, .jpeg, .bmp or .svg".
std::string PictureSuffixes(std::span<const PictureFormat> offered);

}  // namespace kelvarox

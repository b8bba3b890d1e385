#pragma once
// Pictures written to files: encoded in memory in the format the file's name asks for, then
// put in place in one step, so a save that fails never leaves half a file.
#include <QByteArray>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QPainter;

namespace kelvarox {

// The formats a picture is saved in, by the suffix of its file's name (in any case): "PNG",
// "SVG" and "PDF"; JPEG and BMP too when `anyImage` is set. Nothing for any other suffix.
std::optional<QString> PictureFormatOf(const QString& fileName, bool anyImage = false);

// The bytes of a picture of `size` that `paint` paints on a white ground: an image in a
// format the image writer knows ("PNG", "JPEG", "BMP"), or a vector picture ("SVG", "PDF")
// whose lines and texts stay lines and texts. Empty when the format cannot be written.
QByteArray EncodePicture(QSize size, const QString& format, const QString& title,
                         const std::function<void(QPainter&)>& paint);

// Writes `bytes` as the whole of the file at `path`: into a temporary file beside it, renamed
// over it when complete. False, with the system's reason in `error`, when it cannot.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same for a file the user named (in the system's file-name encoding); raises KelvaroxError
// with CannotSaveMessage when it cannot.
void SaveWholeFile(const std::string& path, const QByteArray& bytes);

// The messages of a save that fails.
inline constexpr const char* kVectorPictureSuffixes = ".png, .svg or .pdf";
inline constexpr const char* kImagePictureSuffixes = ".png or .svg";
// "Cannot save PATH: REASON"
std::string CannotSaveMessage(const std::string& path, const std::string& reason);
// "Pictures are saved as .png, .svg or .pdf files, not as PATH"
std::string NoPictureSuffixMessage(const std::string& path, const char* suffixes);

}  // namespace kelvarox

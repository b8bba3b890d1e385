#pragma once
// Pictures written to files: encoded in memory in the format the file's name asks for, then
// put in place in one step, so a save that fails never leaves half a file.
#include <QByteArray>
#include <QSize>
#include <QString>
#include <functional>
#include <span>
#include <string>

#include "core/PictureFormat.h"

class QPainter;

namespace kelvarox {

// The bytes of a picture of `size` that `paint` paints on a white ground: an image (PNG,
// JPEG, BMP), or a vector picture (SVG, PDF) whose lines and texts stay lines and texts.
// Empty when the format cannot be written.
QByteArray EncodePicture(QSize size, PictureFormat format, const QString& title,
                         const std::function<void(QPainter&)>& paint);

// Writes `bytes` as the whole of the file at `path`: into a temporary file beside it, renamed
// over it when complete. False, with the system's reason in `error`, when it cannot.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same for a file the user named (in the system's file-name encoding); raises KelvaroxError
// with CannotSaveMessage when it cannot.
void SaveWholeFile(const std::string& path, const QByteArray& bytes);

// The messages of a save that fails.
// "Cannot save PATH: REASON"
std::string CannotSaveMessage(const std::string& path, const std::string& reason);
// "Pictures are saved as .png, .svg or .pdf files, not as PATH", with the suffixes of `offered`.
std::string NoPictureSuffixMessage(const std::string& path, std::span<const PictureFormat> offered);

}  // namespace kelvarox

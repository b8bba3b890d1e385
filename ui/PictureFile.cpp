#include "ui/PictureFile.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <array>

#include "core/Errors.h"
#include "ui/TextCodec.h"

namespace kelvarox {

std::optional<QString> PictureFormatOf(const QString& fileName, bool anyImage) {
    static const std::array<std::pair<const char*, const char*>, 6> kFormats = {
        {{".png", "PNG"}, {".svg", "SVG"}, {".pdf", "PDF"}, {".jpg", "JPEG"}, {".jpeg", "JPEG"}, {".bmp", "BMP"}}};
    const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    for (size_t i = 0; i < kFormats.size(); ++i) {
        const QLatin1String suffix(kFormats[i].first);
        if (i >= 3 && !anyImage) break;
        if (name.size() > suffix.size() && name.endsWith(suffix, Qt::CaseInsensitive))
            return QString::fromLatin1(kFormats[i].second);
    }
    return std::nullopt;
}

QByteArray EncodePicture(QSize size, const QString& format, const QString& title,
                         const std::function<void(QPainter&)>& paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (format == QLatin1String("SVG")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        // A pixel of the picture is a CSS pixel: 96 to the inch, as SVG viewers count.
        svg.setResolution(96);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
        QPainter painter(&svg);
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        paint(painter);
    } else if (format == QLatin1String("PDF")) {
        // One page as large as the picture, a pixel to a point.
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Kelvarox"));
        pdf.setResolution(72);
        pdf.setPageSize(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&pdf);
        paint(painter);
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            paint(painter);
        }
        if (!image.save(&buffer, format.toLatin1().constData())) return QByteArray();
    }
    return bytes;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && error) *error = file.errorString();
    if (!written) file.cancelWriting();
    return written;
}

void SaveWholeFile(const std::string& path, const QByteArray& bytes) {
    QString error;
    if (!WriteWholeFile(PathToQt(path), bytes, &error)) throw KelvaroxError(CannotSaveMessage(path, FromQt(error)));
}

std::string CannotSaveMessage(const std::string& path, const std::string& reason) {
    return "Cannot save " + path + ": " + reason;
}

std::string NoPictureSuffixMessage(const std::string& path, const char* suffixes) {
    return std::string("Pictures are saved as ") + suffixes + " files, not as " + path;
}

}  // namespace kelvarox

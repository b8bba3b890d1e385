#include "render/PictureFile.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "core/Errors.h"
#include "render/TextCodec.h"

namespace kelvarox {

QByteArray EncodePicture(QSize size, PictureFormat format, const QString& title,
                         const std::function<void(QPainter&)>& paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (format == PictureFormat::Svg) {
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
    } else if (format == PictureFormat::Pdf) {
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
        if (!image.save(&buffer, PictureFormatName(format))) return QByteArray();
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

std::string NoPictureSuffixMessage(const std::string& path, std::span<const PictureFormat> offered) {
    return "Pictures are saved as " + PictureSuffixes(offered) + " files, not as " + path;
}

}  // namespace kelvarox

#pragma once
// The program's texts are 8-bit (one byte a character); the widgets hold QStrings. The bytes
// are read as Latin-1, as they always have been: every byte is one character and reads back
// as itself, so a block's header text or a typed name passes through a box unchanged.
#include <QString>
#include <string>

namespace kelvarox {

inline QString ToQt(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Characters beyond the 8-bit range become "?".
inline std::string FromQt(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace kelvarox

#include <QFile>

namespace kelvarox {

// File paths keep the system's file-name encoding, whatever their characters.
inline QString PathToQt(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
inline std::string PathFromQt(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace kelvarox

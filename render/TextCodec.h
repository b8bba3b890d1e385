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

#include "core/FileNameText.h"

namespace kelvarox {

// File paths keep their bytes whatever their characters: a name that is no UTF-8 comes back
// from the widgets as the same bytes (see core/FileNameText.h).
inline QString PathToQt(const std::string& path) {
    const std::u16string text = FileNameToUtf16(path);
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();  // the units as they are
}
inline std::string PathFromQt(const QString& path) {
    return FileNameFromUtf16(std::u16string_view(QStringView(path).utf16(), static_cast<size_t>(path.size())));
}

// A path as the user reads it: the bytes of a name that is no UTF-8 read as Latin-1, the
// encoding older capture programs write.
inline QString PathForDisplay(QString path) {
    for (QChar& c : path)
        if (const int kept = KeptFileNameByte(c.unicode()); kept >= 0) c = QChar(kept);
    return path;
}

}  // namespace kelvarox

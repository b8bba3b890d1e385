#include "render/FormText.h"

namespace kelvarox {

QFont FormFont(const QFont& from, int pixelSize, bool bold) {
    QFont font = from;
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // The forms were laid out for a narrow face; a condensed one keeps texts inside their boxes
    // where the system has it.
    font.setStretch(QFont::Condensed);
    return font;
}

QRect WidenToFit(const QRect& place, int neededWidth, Qt::Alignment alignment) {
    if (neededWidth <= place.width()) return place;
    const int extra = neededWidth - place.width();
    int left = place.left();
    if (alignment & Qt::AlignRight)
        left -= extra;
    else if (alignment & Qt::AlignHCenter)
        left -= extra / 2;
    return QRect(left, place.top(), neededWidth, place.height());
}

}  // namespace kelvarox

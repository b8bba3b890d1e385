#pragma once
// Labels laid out for one font and shown in another: a text that does not fit its label
// widens the label, on the side away from the edge its alignment holds.
#include <QLabel>

namespace kelvarox {

// Right-aligned labels keep their right edge, centred ones their centre, the others their
// left edge. A text that fits leaves the label as laid out.
inline void FitLabelText(QLabel& label) {
    const int needed = label.sizeHint().width();
    const QRect place = label.geometry();
    if (needed <= place.width()) return;
    const int extra = needed - place.width();
    const Qt::Alignment align = label.alignment();
    int left = place.left();
    if (align & Qt::AlignRight) left -= extra;
    else if (align & Qt::AlignHCenter) left -= extra / 2;
    label.setGeometry(left, place.top(), needed, place.height());
}

}  // namespace kelvarox

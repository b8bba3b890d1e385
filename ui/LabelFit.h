#pragma once
// Labels laid out for one font and shown in another: a text that does not fit its label
// widens the label, on the side away from the edge its alignment holds (render/FormText.h).
#include <QLabel>

#include "render/FormText.h"

namespace kelvarox {

inline void FitLabelText(QLabel& label) {
    label.setGeometry(WidenToFit(label.geometry(), label.sizeHint().width(), label.alignment()));
}

}  // namespace kelvarox

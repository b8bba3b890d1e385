#include "ui/WindowFrame.h"

#include <QLayout>

#include "ui/TextCodec.h"

namespace kelvarox {

void MakeFixedWindow(QWidget* window, QSize clientSize) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    if (window->layout()) window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    else window->setFixedSize(clientSize);
}

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

std::string LineEditBox::Text() const { return FromQt(edit_->text()); }

void LineEditBox::SetText(const std::string& text) { edit_->setText(ToQt(text)); }

}  // namespace kelvarox

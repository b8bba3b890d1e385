#include "render/GraphPainter.h"

#include <QFontMetrics>

#include "render/TextCodec.h"

namespace kelvarox {

QColor CanvasBackground() { return Qt::white; }

QFont CanvasFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

GraphStepPainter::GraphStepPainter(QPainter& painter)
    : painter_(painter), pen_(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin), textPen_(Qt::black),
      ascent_(QFontMetrics(CanvasFont()).ascent()) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setPen(pen_);
    painter_.setFont(CanvasFont());
    // Text goes in black on the canvas's background, whatever the pen.
    painter_.setBackground(CanvasBackground());
    painter_.setBackgroundMode(Qt::OpaqueMode);
}

bool GraphStepPainter::Paint(const DrawStep& step) {
    const QPoint at(step.at.x, step.at.y);
    switch (step.kind) {
        case DrawStep::Kind::Clear:
            painter_.fillRect(QRect(at, QPoint(step.end.x - 1, step.end.y - 1)), CanvasBackground());
            return true;
        case DrawStep::Kind::PenColor:
            pen_.setColor(QColor(step.color.r, step.color.g, step.color.b));
            painter_.setPen(pen_);
            return true;
        case DrawStep::Kind::PenWidth:
            pen_.setWidth(step.width);
            painter_.setPen(pen_);
            return true;
        case DrawStep::Kind::MoveTo:
            position_ = at;
            return true;
        case DrawStep::Kind::LineTo:
            painter_.drawLine(position_, at);
            position_ = at;
            return true;
        case DrawStep::Kind::TextAt:
            painter_.setPen(textPen_);
            painter_.drawText(at + QPoint(0, ascent_), ToQt(step.text));
            painter_.setPen(pen_);
            return true;
        case DrawStep::Kind::SetLabel:
        case DrawStep::Kind::ShowWindow:
            return false;
    }
    return false;
}

}  // namespace kelvarox

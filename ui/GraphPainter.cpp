#include "ui/GraphPainter.h"

#include <QFontMetrics>

#include "ui/TextCodec.h"

namespace kelvarox {

QColor CanvasBackground() { return Qt::white; }

QFont CanvasFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void PaintGraphSteps(QPainter& painter, const std::vector<DrawStep>& steps,
                     const std::function<void(const DrawStep&)>& other) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    painter.setPen(pen);
    painter.setFont(CanvasFont());
    // Text goes in black on the canvas's background, whatever the pen.
    painter.setBackground(CanvasBackground());
    painter.setBackgroundMode(Qt::OpaqueMode);
    const QPen textPen(Qt::black);
    const QFontMetrics metrics(painter.font());
    QPoint position;
    for (const DrawStep& step : steps) {
        const QPoint at(step.at.x, step.at.y);
        switch (step.kind) {
            case DrawStep::Kind::Clear:
                painter.fillRect(QRect(at, QPoint(step.end.x - 1, step.end.y - 1)), CanvasBackground());
                break;
            case DrawStep::Kind::PenColor:
                pen.setColor(QColor(step.color.r, step.color.g, step.color.b));
                painter.setPen(pen);
                break;
            case DrawStep::Kind::PenWidth:
                pen.setWidth(step.width);
                painter.setPen(pen);
                break;
            case DrawStep::Kind::MoveTo:
                position = at;
                break;
            case DrawStep::Kind::LineTo:
                painter.drawLine(position, at);
                position = at;
                break;
            case DrawStep::Kind::TextAt:
                painter.setPen(textPen);
                painter.drawText(at + QPoint(0, metrics.ascent()), ToQt(step.text));
                painter.setPen(pen);
                break;
            case DrawStep::Kind::SetLabel:
            case DrawStep::Kind::ShowWindow:
                if (other) other(step);
                break;
        }
    }
}

}  // namespace kelvarox

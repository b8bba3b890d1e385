#pragma once
// The graph window's drawing surface: a picture that keeps what is drawn on it
// until it is cleared, and reports the mouse moving over it. Painted into a vector picture
// (SVG, PDF), it draws the last drawing's steps again as lines and texts.
#include <QImage>
#include <QWidget>
#include <vector>

#include "core/GraphDrawing.h"

namespace kelvarox {

class GraphImage : public QWidget {
    Q_OBJECT
public:
    explicit GraphImage(QWidget* parent = nullptr);

    // The picture, as large as the widget; transparent until the first drawing. Call
    // update() after painting on it.
    QImage& Canvas();
    // The canvas steps of the drawing last painted on the canvas, each drawing starting with a
    // clear of the whole surface.
    void SetSteps(std::vector<DrawStep> steps) { steps_ = std::move(steps); }

signals:
    // x and y in pixels relative to the image.
    void MouseMoved(Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage canvas_;
    std::vector<DrawStep> steps_;
};

}  // namespace kelvarox

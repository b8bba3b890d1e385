#pragma once
// The place of the graph window's canvas: it reports the mouse moving over it. The window
// paints the canvas there, with the rest of its client area (render/GraphScene.h).
#include <QWidget>

namespace kelvarox {

class GraphImage : public QWidget {
    Q_OBJECT
public:
    explicit GraphImage(QWidget* parent = nullptr);

signals:
    // x and y in pixels relative to the image.
    void mouseMoved(Qt::KeyboardModifiers shift, int x, int y);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
};

}  // namespace kelvarox

#pragma once
// The graph window's drawing surface: a picture that keeps what is drawn on it
// until it is cleared, and reports the mouse moving over it.
#include <QImage>
#include <QWidget>

namespace kelvarox {

class GraphImage : public QWidget {
    Q_OBJECT
public:
    explicit GraphImage(QWidget* parent = nullptr);

    // The picture, as large as the widget; transparent until the first drawing. Call
    // update() after painting on it.
    QImage& Canvas();

signals:
    // x and y in pixels relative to the image.
    void MouseMoved(Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage canvas_;
};

}  // namespace kelvarox

#pragma once
// The fold window's drawing surface: it paints the picture of folded orbits and reads the
// mouse against it, telling what it is over and which orbit a click chose.
#include <QWidget>
#include <memory>
#include <optional>

#include "timeline/FoldPicture.h"

namespace kelvarox {

class FoldCanvas : public QWidget {
    Q_OBJECT
public:
    explicit FoldCanvas(QWidget* parent = nullptr);

    // The picture, composed at the canvas's size from `samples`.
    void setPicture(timeline::FoldPicture picture, std::shared_ptr<const timeline::FoldSamples> samples);
    const timeline::FoldPicture& picture() const { return picture_; }

signals:
    void resized();
    // The sample under the mouse, or nothing.
    void hovered(const std::optional<kelvarox::timeline::FoldHit>& hit);
    void orbitClicked(qint64 orbit);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    std::optional<timeline::FoldHit> hitAt(const QPoint& at) const;

    timeline::FoldPicture picture_;
    std::shared_ptr<const timeline::FoldSamples> samples_;
};

}  // namespace kelvarox

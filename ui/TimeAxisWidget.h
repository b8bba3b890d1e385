#pragma once
// The orbit axis under the time line's plots, shared by all of them.
#include <QWidget>

#include "timeline/TimeLinePicture.h"

namespace kelvarox {

class TimeAxisWidget : public QWidget {
    Q_OBJECT
public:
    explicit TimeAxisWidget(QWidget* parent = nullptr);
    void setPicture(timeline::AxisPicture axis);

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    timeline::AxisPicture axis_;
};

}  // namespace kelvarox

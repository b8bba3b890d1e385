#pragma once
// The mouse over the time line's plots and axis: its back and forward buttons trigger the
// window's Back and Forward, and a press of the other buttons starts a drag that lasts until
// they are released, so that the views one drag goes through are one step of the history.
#include <QAction>
#include <QObject>
#include <cstdint>

namespace kelvarox {

class BackForwardMouse : public QObject {
    Q_OBJECT
public:
    BackForwardMouse(QAction* back, QAction* forward, QObject* parent = nullptr);
    // Listens to the mouse over `widget` from now on.
    void watch(QObject* widget);
    // The drag going on, numbered from 1; 0 while no button is held.
    uint64_t drag() const { return held_ ? drag_ : 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* back_;
    QAction* forward_;
    uint64_t drag_ = 0;
    bool held_ = false;
};

}  // namespace kelvarox

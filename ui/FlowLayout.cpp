#include "ui/FlowLayout.h"

#include <QWidget>
#include <algorithm>

namespace kelvarox {

FlowLayout::FlowLayout(int spacing) : spacing_(spacing) {}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0)) delete item;
}

void FlowLayout::addItem(QLayoutItem* item) { items_.push_back(item); }

QLayoutItem* FlowLayout::takeAt(int index) {
    if (index < 0 || index >= items_.size()) return nullptr;
    return items_.takeAt(index);
}

int FlowLayout::heightForWidth(int width) const { return arrange(QRect(0, 0, width, 0), false); }

QSize FlowLayout::minimumSize() const {
    // As wide as the widest item and as high as one line: the lines a width takes come from
    // heightForWidth, which the layout around it asks.
    QSize size;
    for (const QLayoutItem* item : items_)
        if (!item->isEmpty()) size = size.expandedTo(item->sizeHint());
    const QMargins m = contentsMargins();
    return size.grownBy(m);
}

QSize FlowLayout::sizeHint() const {
    // All on one line.
    int width = 0;
    int height = 0;
    for (const QLayoutItem* item : items_) {
        if (item->isEmpty()) continue;
        width += (width > 0 ? spacing_ : 0) + item->sizeHint().width();
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins m = contentsMargins();
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::arrange(const QRect& rect, bool place) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    int x = area.x();
    int y = area.y();
    int lineHeight = 0;
    for (QLayoutItem* item : items_) {
        if (item->isEmpty()) continue;
        const QSize size = item->sizeHint().boundedTo(QSize(std::max(area.width(), 1), item->sizeHint().height()));
        if (x > area.x() && x + size.width() > area.right() + 1) {
            x = area.x();
            y += lineHeight;
            lineHeight = 0;
        }
        if (item->alignment() & Qt::AlignRight) x = std::max(x, area.right() + 1 - size.width());
        if (place) item->setGeometry(QRect(QPoint(x, y), size));
        x += size.width() + spacing_;
        lineHeight = std::max(lineHeight, size.height());
    }
    const QMargins m = contentsMargins();
    return y + lineHeight - area.y() + m.top() + m.bottom();
}

}  // namespace kelvarox

#pragma once
// Widgets side by side at their whole widths, each on the line where it fits and on the next
// one when it does not: a narrow window gives a header more lines instead of cutting its texts.
// An item added with Qt::AlignRight stands at the right end of its line.
#include <QLayout>
#include <QList>

namespace kelvarox {

class FlowLayout : public QLayout {
public:
    // `spacing`: the least room between two items of a line.
    explicit FlowLayout(int spacing);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override { return items_.value(index); }
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items within `rect` (or only measures, when `place` is not set); the height used.
    int arrange(const QRect& rect, bool place) const;

    QList<QLayoutItem*> items_;
    int spacing_;
};

}  // namespace kelvarox

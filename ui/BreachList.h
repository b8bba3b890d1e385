#pragma once
// The time line's list of excursions beyond the limits: those of the channels on display, in
// the order of their first samples. Choosing one (a click, Enter, Next or Previous) asks the
// window to show it.
#include <QWidget>
#include <map>
#include <vector>

#include "timeline/Excursions.h"
#include "timeline/TimeRange.h"

class QPushButton;
class QTreeWidget;

namespace kelvarox {

class BreachList : public QWidget {
    Q_OBJECT
public:
    explicit BreachList(QWidget* parent = nullptr);

    // The excursions of one channel's trace, in place of those it had.
    void setExcursions(int32_t channel, std::vector<timeline::Excursion> excursions);
    // The channels on display; the excursions of the others leave the list.
    void keepChannels(const std::vector<int32_t>& channels);
    // The number of excursions listed.
    int count() const;

    // The view that shows an excursion with a margin of half its length on either side (at
    // least a few MA), so that the samples around it can be seen.
    static timeline::TimeRange viewOf(const timeline::Excursion& excursion);

public slots:
    void next();
    void previous();

signals:
    // An excursion was chosen: the view that shows it.
    void excursionChosen(const timeline::TimeRange& view);

private:
    void refill();
    void choose(int row);

    QTreeWidget* tree_;
    QPushButton* previousButton_;
    QPushButton* nextButton_;
    std::map<int32_t, std::vector<timeline::Excursion>> byChannel_;
    std::vector<timeline::Excursion> shown_;  // as the rows list them
};

}  // namespace kelvarox

#include "ui/BreachList.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/ChannelCatalogue.h"
#include "core/CsvText.h"
#include "render/TextCodec.h"

namespace kelvarox {

using timeline::Excursion;
using timeline::LimitLevel;

namespace {

QString PlaceText(const timeline::SamplePlace& at) { return QString::number(at.orbit) + u'/' + QString::number(at.ma); }

}  // namespace

BreachList::BreachList(QWidget* parent)
    : QWidget(parent), tree_(new QTreeWidget(this)), previousButton_(new QPushButton(QStringLiteral("Previous"), this)),
      nextButton_(new QPushButton(QStringLiteral("Next"), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* heading = new QHBoxLayout;
    heading->addWidget(new QLabel(QStringLiteral("Breaches"), this), 1);
    heading->addWidget(previousButton_);
    heading->addWidget(nextButton_);
    layout->addLayout(heading);
    layout->addWidget(tree_, 1);
    tree_->setObjectName(QStringLiteral("breachTree"));
    previousButton_->setObjectName(QStringLiteral("previousButton"));
    nextButton_->setObjectName(QStringLiteral("nextButton"));
    tree_->setRootIsDecorated(false);
    tree_->setUniformRowHeights(true);
    tree_->setHeaderLabels({QStringLiteral("Hex#"), QStringLiteral("Level"), QStringLiteral("Side"),
                            QStringLiteral("First"), QStringLiteral("Last"), QStringLiteral("Samples"),
                            QStringLiteral("Peak")});
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    previousButton_->setToolTip(QStringLiteral("The excursion before the one chosen"));
    nextButton_->setToolTip(QStringLiteral("The excursion after the one chosen"));
    connect(previousButton_, &QPushButton::clicked, this, &BreachList::previous);
    connect(nextButton_, &QPushButton::clicked, this, &BreachList::next);
    // A click, Enter and the arrow keys choose; refilling the list chooses nothing.
    const auto chooseItem = [this](QTreeWidgetItem* item) { choose(tree_->indexOfTopLevelItem(item)); };
    connect(tree_, &QTreeWidget::itemActivated, this, chooseItem);
    connect(tree_, &QTreeWidget::itemClicked, this, chooseItem);
    connect(tree_, &QTreeWidget::currentItemChanged, this, chooseItem);
    refill();
}

void BreachList::setExcursions(int32_t channel, std::vector<Excursion> excursions) {
    byChannel_[channel] = std::move(excursions);
    refill();
}

void BreachList::keepChannels(const std::vector<int32_t>& channels) {
    std::erase_if(byChannel_, [&](const auto& c) {
        return std::find(channels.begin(), channels.end(), c.first) == channels.end();
    });
    refill();
}

int BreachList::count() const { return static_cast<int>(shown_.size()); }

timeline::TimeRange BreachList::viewOf(const Excursion& e) {
    const timeline::OrbitTime first = timeline::TimeOf(e.first.orbit, e.first.ma);
    const timeline::OrbitTime last = timeline::TimeOf(e.last.orbit, e.last.ma);
    const double margin = std::max((last - first) / 2, 8 / timeline::kMAPerOrbit);
    return {first - margin, last + margin};
}

void BreachList::refill() {
    const QSignalBlocker quiet(tree_);
    const int chosen = tree_->indexOfTopLevelItem(tree_->currentItem());
    std::vector<std::pair<int32_t, const Excursion*>> all;
    for (const auto& [channel, excursions] : byChannel_)
        for (const Excursion& e : excursions) all.emplace_back(channel, &e);
    std::stable_sort(all.begin(), all.end(),
                     [](const auto& a, const auto& b) { return timeline::StartsBefore(*a.second, *b.second); });
    tree_->clear();
    shown_.clear();
    for (const auto& [channel, e] : all) {
        std::string text;
        AppendShortestFloat(text, e->peak);
        auto* item =
            new QTreeWidgetItem({ToQt(ChannelCatalogue::ChannelNumberText(channel)),
                                 e->level == LimitLevel::Red ? QStringLiteral("red") : QStringLiteral("yellow"),
                                 e->side == timeline::LimitSide::Low ? QStringLiteral("low") : QStringLiteral("high"),
                                 PlaceText(e->first), PlaceText(e->last), QString::number(e->samples), ToQt(text)});
        item->setForeground(1, e->level == LimitLevel::Red ? QColor(210, 0, 0) : QColor(170, 120, 0));
        item->setToolTip(0, PathToQt(e->file));
        tree_->addTopLevelItem(item);
        shown_.push_back(*e);
    }
    if (chosen >= 0 && chosen < count()) tree_->setCurrentItem(tree_->topLevelItem(chosen));
    previousButton_->setEnabled(!shown_.empty());
    nextButton_->setEnabled(!shown_.empty());
}

void BreachList::choose(int row) {
    if (row < 0 || row >= count()) return;
    {
        const QSignalBlocker quiet(tree_);
        tree_->setCurrentItem(tree_->topLevelItem(row));
    }
    emit excursionChosen(viewOf(shown_[static_cast<size_t>(row)]));
}

void BreachList::next() {
    const int row = tree_->indexOfTopLevelItem(tree_->currentItem());
    choose(std::min(row + 1, count() - 1));
}

void BreachList::previous() {
    const int row = tree_->indexOfTopLevelItem(tree_->currentItem());
    choose(row < 0 ? 0 : std::max(row - 1, 0));
}

}  // namespace kelvarox

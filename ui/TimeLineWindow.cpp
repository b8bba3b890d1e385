#include "ui/TimeLineWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <algorithm>
#include <set>

#include "core/ChannelCatalogue.h"
#include "core/Errors.h"
#include "core/OrbitalElements.h"
#include "render/PictureFile.h"
#include "render/TextCodec.h"
#include "render/TimeLinePainter.h"
#include "services/ArchiveReader.h"
#include "settings/TimeLineSettings.h"
#include "timeline/CalendarAxis.h"
#include "timeline/CursorDelta.h"
#include "timeline/Excursions.h"
#include "timeline/FoldPicture.h"
#include "timeline/Readout.h"
#include "ui/BackForwardMouse.h"
#include "ui/BreachList.h"
#include "ui/ChannelListItems.h"
#include "ui/ErrorReport.h"
#include "ui/ImportProblemsPanel.h"
#include "ui/LayoutMenu.h"
#include "ui/Notifier.h"
#include "ui/RangeBoxes.h"
#include "ui/TimeLinePlot.h"
#include "ui/WindowFrame.h"
#include "ui_TimeLineWindow.h"

namespace kelvarox {

using namespace timeline;

namespace {

// A key press zooms by this factor and pans by this share of the plots' width.
constexpr double kKeyZoom = 2.0;
constexpr double kKeyPan = 0.125;

const char* const kPictureFilters = "PNG image (*.png);;SVG picture (*.svg);;PDF document (*.pdf)";
const char* const kCsvFilters = "CSV file (*.csv)";

std::string HexDigits(int32_t channel) { return ChannelCatalogue::ChannelNumberText(channel).substr(1); }

// A message that a word-wrapping label shows on as many lines as it takes: a path may break
// after any "/".
QString Wrappable(QString text) { return text.replace(QLatin1Char('/'), QStringLiteral("/\u200B")); }

}  // namespace

TimeLineWindow::TimeLineWindow(const std::string& archiveLocation, Notifier& notifier, QWidget* parent)
    : QWidget(parent, Qt::Window), archiveLocation_(archiveLocation), notifier_(notifier),
      ui_(std::make_unique<Ui::TimeLineWindow>()), addToPlotAction_(new QAction(QStringLiteral("Add to plot"), this)) {
    ui_->setupUi(this);
    addToPlotAction_->setObjectName(QStringLiteral("addToPlotAction"));
    ui_->channelList->setContextMenuPolicy(Qt::CustomContextMenu);
    ui_->channelList->viewport()->installEventFilter(this);
    ui_->importProgress->hide();
    ui_->statusLabel->hide();
    ui_->satelliteLabel->hide();
    ui_->sideSplitter->setStretchFactor(1, 1);
    ui_->sideSplitter->setSizes({330, width() - 330});
    // Each column as wide as its texts.
    ui_->channelList->header()->setStretchLastSection(false);
    ui_->channelList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui_->readoutLabel->setMinimumWidth(1);
    step_ = ToQt(ArchiveReader::connectingStep(archiveLocation));
    auto dates = std::make_shared<DateLine>();
    dates->Finish();
    dates_ = std::move(dates);
    reader_ = std::make_unique<ArchiveReader>(archiveLocation);
    rangeBoxes_ = new RangeBoxes(ui_->fromEdit, ui_->toEdit, this);
    ui_->backButton->setDefaultAction(ui_->backAction);
    ui_->forwardButton->setDefaultAction(ui_->forwardAction);
    mouse_ = new BackForwardMouse(ui_->backAction, ui_->forwardAction, this);
    mouse_->watch(ui_->timeAxis);
    problems_ = new ImportProblemsPanel(archiveLocation, notifier_);
    ui_->listSplitter->addWidget(problems_);
    problems_->hide();
    layouts_ = new LayoutMenu(
        ui_->layoutsButton, notifier_, [this] { return layout(); },
        [this](const TimeLineLayout& layout) { applyLayout(layout); });
    connectHandlers();
    updateMessage();
}

TimeLineWindow::~TimeLineWindow() = default;

void TimeLineWindow::connectHandlers() {
    connect(reader_.get(), &ArchiveReader::channelsRead, this, &TimeLineWindow::showChannels);
    connect(reader_.get(), &ArchiveReader::traceRead, this, &TimeLineWindow::takeTrace);
    connect(reader_.get(), &ArchiveReader::orbitStatisticsRead, this,
            [this](int32_t channel, std::shared_ptr<const std::vector<OrbitStatistics>> orbits) {
                if (TimeLinePlot* plot = plotOf(channel)) plot->setOrbitStatistics(channel, std::move(orbits));
            });
    connect(reader_.get(), &ArchiveReader::datesRead, this, &TimeLineWindow::takeDates);
    connect(reader_.get(), &ArchiveReader::problemChanged, this, [this](const QString& problem) {
        problem_ = problem;
        updateMessage();
    });
    connect(reader_.get(), &ArchiveReader::misplacedRead, this, [this](const QString& warning) {
        ui_->satelliteLabel->setText(Wrappable(warning));
        ui_->satelliteLabel->setToolTip(warning);
        ui_->satelliteLabel->setVisible(!warning.isEmpty());
    });
    connect(ui_->axisChoice, &QComboBox::currentIndexChanged, this, [this] { redraw(); });
    connect(reader_.get(), &ArchiveReader::worstLevelsRead, this, [this](const std::map<int32_t, LimitLevel>& levels) {
        worst_ = levels;
        markWorstLevels();
    });
    connect(ui_->breachList, &BreachList::excursionChosen, this, [this](const TimeRange& view) { chooseView(view); });
    connect(rangeBoxes_, &RangeBoxes::rangeTyped, this, [this](const TimeRange& view) { chooseView(view); });
    connect(ui_->backAction, &QAction::triggered, this, &TimeLineWindow::goBack);
    connect(ui_->forwardAction, &QAction::triggered, this, &TimeLineWindow::goForward);
    connect(reader_.get(), &ArchiveReader::stepChanged, this, [this](const QString& step) {
        step_ = step;
        updateMessage();
    });
    connect(ui_->channelList, &QTreeWidget::itemSelectionChanged, this, &TimeLineWindow::selectionChanged);
    connect(ui_->channelList, &QWidget::customContextMenuRequested, this, &TimeLineWindow::showChannelMenu);
    connect(addToPlotAction_, &QAction::triggered, this, [this] {
        const QTreeWidgetItem* item = ui_->channelList->currentItem();
        if (item && chosenPlot()) addToPlot(chosenPlot(), item->data(0, kChannelRole).toInt());
    });
    connect(ui_->channelFilter, &QLineEdit::textChanged, this,
            [this](const QString& text) { FilterChannels(ui_->channelList, text); });
    connect(ui_->problemsButton, &QToolButton::toggled, problems_, [this](bool on) {
        problems_->setVisible(on);
        if (on) problems_->readArchiveNow();  // another program may have added or placed blocks
    });
    connect(problems_, &ImportProblemsPanel::countChanged, this,
            [this](int count) { ui_->problemsButton->setText(QStringLiteral("Import Problems (%1)").arg(count)); });
    connect(problems_, &ImportProblemsPanel::orbitSet, this, [this] { reader_->readNow(); });
    connect(ui_->showAllButton, &QPushButton::clicked, this, &TimeLineWindow::showAll);
    connect(ui_->saveImageButton, &QPushButton::clicked, this, &TimeLineWindow::saveImage);
    connect(ui_->saveCsvButton, &QPushButton::clicked, this, &TimeLineWindow::saveCsv);
    connect(ui_->foldButton, &QPushButton::clicked, this, [this] {
        if (TimeLinePlot* plot = chosenPlot()) foldOf(plot);
    });
    connect(ui_->followCheck, &QCheckBox::toggled, this, [this](bool on) {
        following_ = on;
        emit followChanged(on);
    });
    connect(ui_->timeAxis, &TimeAxisWidget::resized, this,
            [this] { ui_->timeAxis->setPicture(axisOf(ui_->timeAxis->width())); });

    const auto key = [this](QKeySequence sequence, auto handler) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, handler);
    };
    key(QKeySequence(Qt::Key_Home), [this] { showAll(); });
    key(QKeySequence(Qt::Key_Escape), [this] { setSecondCursor(std::nullopt); });
    const auto zoom = [this](double factor) {
        chooseView(ZoomedAround(view_, (view_.left + view_.right) / 2, factor));
    };
    const auto pan = [this](double share) { chooseView(PannedByPixels(view_, share * 1000, 1000)); };
    key(QKeySequence(Qt::Key_Plus), [zoom] { zoom(kKeyZoom); });
    key(QKeySequence(Qt::Key_Equal), [zoom] { zoom(kKeyZoom); });
    key(QKeySequence(Qt::Key_Minus), [zoom] { zoom(1 / kKeyZoom); });
    key(QKeySequence(Qt::Key_Left), [pan] { pan(kKeyPan); });
    key(QKeySequence(Qt::Key_Right), [pan] { pan(-kKeyPan); });
}

void TimeLineWindow::showChannels(const std::vector<archive::ChannelSummary>& channels) {
    channelsRead_ = true;
    const bool firstList = listed_.empty();
    listed_ = channels;
    std::set<int32_t> selected;
    for (const TimeLinePlot* plot : plots_)
        for (const int32_t channel : plot->channels()) selected.insert(channel);
    // The channels of a layout whose blocks came get their plots now, below the others.
    std::vector<int32_t> without = SatelliteChannels(satellite_.get());
    bool came = false;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (holdsBlocks(*it)) {
            selected.insert(*it);
            came = true;
            it = waiting_.erase(it);
        } else {
            without.push_back(*it++);
        }
    }
    std::erase_if(without, [&](int32_t channel) { return holdsBlocks(channel); });
    {
        const QSignalBlocker quiet(ui_->channelList);
        ui_->channelList->clear();
        for (const archive::ChannelSummary& c : channels) {
            auto* item = new QTreeWidgetItem(ui_->channelList);
            item->setText(0, ToQt(ChannelCatalogue::ChannelNumberText(c.channel)));
            item->setText(1, ToQt(c.name));
            item->setText(2, ToQt(c.unit));
            item->setText(3, QString::number(c.blocks));
            item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
            item->setData(0, kChannelRole, c.channel);
            item->setSelected(selected.count(c.channel) > 0);
        }
        AddChannelsWithoutBlocks(ui_->channelList, without, satellite_.get());
        FilterChannels(ui_->channelList, ui_->channelFilter->text());
    }
    markWorstLevels();
    if (pendingLayout_)
        showPendingLayout();
    else if (came)
        selectionChanged();
    // The first channel is shown at once when the archive is first listed.
    else if (firstList && plots_.empty() && !channels.empty())
        ui_->channelList->topLevelItem(0)->setSelected(true);
    // The list gets the room its columns need, the plots the rest.
    QTreeWidget* list = ui_->channelList;
    const int needed = list->header()->length() + 2 * list->frameWidth() +
                       (list->verticalScrollBar()->isVisible() ? list->verticalScrollBar()->width() : 0);
    const QList<int> sizes = ui_->sideSplitter->sizes();
    if (sizes.size() == 2 && (sizes[0] < needed || firstList) && sizes[0] + sizes[1] > needed)
        ui_->sideSplitter->setSizes({needed, sizes[0] + sizes[1] - needed});
    updateMessage();
}

void TimeLineWindow::markWorstLevels() {
    for (int i = 0; i < ui_->channelList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ui_->channelList->topLevelItem(i);
        if (!item->data(0, kChannelRole).isValid()) continue;  // the heading of the channels without blocks
        const auto worst = worst_.find(item->data(0, kChannelRole).toInt());
        const LimitLevel level = worst == worst_.end() ? LimitLevel::Within : worst->second;
        if (level == LimitLevel::Within) {
            item->setIcon(0, QIcon());
            item->setToolTip(0, QString());
            continue;
        }
        QPixmap mark(10, 10);
        mark.fill(level == LimitLevel::Red ? QColor(210, 0, 0) : QColor(214, 160, 0));
        item->setIcon(0, QIcon(mark));
        item->setToolTip(0, level == LimitLevel::Red ? QStringLiteral("Beyond a red limit")
                                                     : QStringLiteral("Beyond a yellow limit"));
    }
}

std::vector<int32_t> TimeLineWindow::selectedChannels() const {
    std::vector<int32_t> channels;
    for (int i = 0; i < ui_->channelList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ui_->channelList->topLevelItem(i);
        const int32_t channel = item->data(0, kChannelRole).toInt();
        // A click clears the selection of the channels the filter hides: their plots stay.
        const bool hiddenPlot =
            item->isHidden() &&
            std::any_of(plots_.begin(), plots_.end(), [&](const TimeLinePlot* p) { return p->shows(channel); });
        if (hiddenPlot && !item->isSelected()) {
            const QSignalBlocker quiet(ui_->channelList);
            item->setSelected(true);
        }
        if (item->isSelected()) channels.push_back(channel);
    }
    return channels;
}

void TimeLineWindow::selectionChanged() {
    const std::vector<int32_t> channels = selectedChannels();
    const auto selected = [&](int32_t channel) {
        return std::find(channels.begin(), channels.end(), channel) != channels.end();
    };
    // Channels no longer selected leave their plots, and a plot left without any goes; the
    // others keep their order and heights, and the newly selected ones come below them.
    for (TimeLinePlot* plot : std::vector<TimeLinePlot*>(plots_)) {
        for (const int32_t channel : plot->channels())
            if (!selected(channel)) plot->removeChannel(channel);
        if (!selected(plot->channel())) deletePlot(plot);
    }
    size_t added = 0;
    for (const int32_t channel : channels) {
        if (!plotOf(channel)) {
            addPlot(channel);
            ++added;
        }
    }
    shareHeights(added);
    channelsChanged();
}

void TimeLineWindow::channelsChanged() {
    const std::vector<int32_t> channels = selectedChannels();
    ui_->breachList->keepChannels(channels);
    reader_->show(channels);
    redraw();
    updateMessage();
    if (secondCursor_) setSecondCursor(secondCursor_);  // in the plots just added too
}

TimeLinePlot* TimeLineWindow::plotOf(int32_t channel) const {
    const auto plot =
        std::find_if(plots_.begin(), plots_.end(), [&](const TimeLinePlot* p) { return p->shows(channel); });
    return plot == plots_.end() ? nullptr : *plot;
}

TimeLinePlot* TimeLineWindow::chosenPlot() const {
    if (std::find(plots_.begin(), plots_.end(), currentPlot_) != plots_.end()) return currentPlot_;
    return plots_.empty() ? nullptr : plots_.front();
}

QTreeWidgetItem* TimeLineWindow::itemOf(int32_t channel) const {
    QTreeWidget* list = ui_->channelList;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        if (item->data(0, kChannelRole) == QVariant(channel) && (item->flags() & Qt::ItemIsEnabled)) return item;
    }
    return nullptr;
}

QTreeWidgetItem* TimeLineWindow::channelItemAt(const QPoint& at) const {
    QTreeWidgetItem* item = ui_->channelList->itemAt(at);
    return item && (item->flags() & Qt::ItemIsEnabled) ? item : nullptr;
}

void TimeLineWindow::deletePlot(TimeLinePlot* plot) {
    if (currentPlot_ == plot) currentPlot_ = nullptr;
    plots_.erase(std::remove(plots_.begin(), plots_.end(), plot), plots_.end());
    delete plot;
}

void TimeLineWindow::addToPlot(TimeLinePlot* plot, int32_t channel) {
    if (std::find(plots_.begin(), plots_.end(), plot) == plots_.end() || plot->shows(channel)) return;
    std::shared_ptr<const ChannelTrace> trace;
    std::shared_ptr<const std::vector<OrbitStatistics>> orbits;
    if (TimeLinePlot* from = plotOf(channel)) {
        trace = from->traceOf(channel);
        orbits = from->orbitStatisticsOf(channel);
        if (from->channels().size() == 1)
            deletePlot(from);
        else
            from->removeChannel(channel);
    }
    plot->addChannel(channel, PlotColour(coloursUsed_++), std::move(trace));
    if (orbits) plot->setOrbitStatistics(channel, std::move(orbits));
    if (QTreeWidgetItem* item = itemOf(channel)) {
        const QSignalBlocker quiet(ui_->channelList);
        item->setSelected(true);
    }
    channelsChanged();
}

void TimeLineWindow::showChannelMenu(const QPoint& at) {
    QTreeWidgetItem* item = channelItemAt(at);
    if (!item) return;
    ui_->channelList->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    const TimeLinePlot* target = chosenPlot();
    const int32_t channel = item->data(0, kChannelRole).toInt();
    // The entry names the plot it adds to: that of the first channel of the plot the mouse was
    // last over.
    addToPlotAction_->setText(
        target ? QStringLiteral("Add to plot %1  %2")
                     .arg(ToQt(ChannelCatalogue::ChannelNumberText(target->channel())),
                          ToQt(target->trace() ? target->trace()->Name() : ChannelCatalogue::NameOf(target->channel())))
               : QStringLiteral("Add to plot"));
    addToPlotAction_->setEnabled(target && !target->shows(channel));
    QMenu menu(this);
    menu.addAction(addToPlotAction_);
    menu.exec(ui_->channelList->viewport()->mapToGlobal(at));
}

bool TimeLineWindow::eventFilter(QObject* watched, QEvent* event) {
    QTreeWidget* list = ui_->channelList;
    if (watched != list->viewport()) return QWidget::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    // A right click selects nothing: it would take the other channels off the plots.
    if (mouse->button() == Qt::RightButton) return true;
    // A press on a channel selects it only at the release, so that dragging it to a plot leaves
    // the others where they are. With Ctrl or Shift the list selects as it always does.
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton && channelItemAt(at) &&
        !(mouse->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))) {
        pressedAt_ = at;
        list->setFocus(Qt::MouseFocusReason);
        return true;
    }
    if (!pressedAt_) return false;
    QTreeWidgetItem* item = channelItemAt(*pressedAt_);
    if (type == QEvent::MouseButtonRelease) {
        pressedAt_.reset();
        if (item) list->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return true;
    }
    if (type == QEvent::MouseMove && (at - *pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
        pressedAt_.reset();
        if (!item) return true;
        auto* data = new QMimeData;
        data->setData(QString::fromLatin1(kChannelMimeType), QByteArray::number(item->data(0, kChannelRole).toInt()));
        auto* drag = new QDrag(list);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
        return true;
    }
    return false;
}

void TimeLineWindow::shareHeights(size_t added) {
    // Each new plot takes an equal share of the height; the others share the rest as they did.
    QList<int> heights = ui_->plotSplitter->sizes();
    const qsizetype kept = heights.size() - static_cast<qsizetype>(added);
    double total = 0, keptTotal = 0;
    for (qsizetype i = 0; i < heights.size(); ++i) {
        total += heights[i];
        if (i < kept) keptTotal += heights[i];
    }
    if (added == 0 || total <= 0) return;
    const double share = total / static_cast<double>(heights.size());
    const double rest = total - share * static_cast<double>(added);
    for (qsizetype i = 0; i < heights.size(); ++i)
        heights[i] = static_cast<int>(std::lround(i < kept && keptTotal > 0 ? heights[i] * rest / keptTotal : share));
    ui_->plotSplitter->setSizes(heights);
}

TimeLinePlot* TimeLineWindow::addPlot(int32_t channel) {
    auto* plot = new TimeLinePlot(channel, PlotColour(coloursUsed_++), ui_->plotSplitter);
    ui_->plotSplitter->addWidget(plot);
    plot->setSatellite(satellite_);
    plots_.push_back(plot);
    PlotCanvas* canvas = plot->canvas();
    connect(canvas, &PlotCanvas::cursorMoved, this, [this, plot](double time) {
        currentPlot_ = plot;
        showCursor(time);
    });
    connect(canvas, &PlotCanvas::viewChosen, this, [this](const TimeRange& view) { chooseView(view, mouse_->drag()); });
    mouse_->watch(canvas);
    connect(canvas, &PlotCanvas::valuesChosen, plot, [plot](const ValueRange& values) { plot->chooseValues(values); });
    connect(canvas, &PlotCanvas::doubleClicked, this, [this, plot](double time) { openNearestBlock(plot, time); });
    connect(plot, &TimeLinePlot::channelDropped, this, [this, plot](int32_t channel) { addToPlot(plot, channel); });
    connect(canvas, &PlotCanvas::secondCursorChosen, this, [this](double time) { setSecondCursor(time); });
    connect(plot->clearSecondCursorAction(), &QAction::triggered, this, [this] { setSecondCursor(std::nullopt); });
    // Taken off the plot is taken off the display: the list's selection is what is drawn. Once
    // the plot's menu has closed, as the plot may go with it.
    connect(
        plot, &TimeLinePlot::removeRequested, this,
        [this](int32_t channel) {
            if (QTreeWidgetItem* item = itemOf(channel)) item->setSelected(false);
        },
        Qt::QueuedConnection);
    connect(plot->moveUpAction(), &QAction::triggered, this, [this, plot] { movePlot(plot, -1); });
    connect(plot->moveDownAction(), &QAction::triggered, this, [this, plot] { movePlot(plot, 1); });
    connect(plot->saveCsvAction(), &QAction::triggered, this, [this, plot] { saveCsvOf(plot); });
    connect(plot->foldAction(), &QAction::triggered, this, [this, plot] { foldOf(plot); });
    return plot;
}

std::optional<TimeRange> TimeLineWindow::extent() const {
    std::optional<TimeRange> extent;
    for (const TimeLinePlot* plot : plots_) {
        for (const ChannelTrace* trace : plot->traces()) {
            const auto e = trace->Extent();
            if (!e) continue;
            extent = extent ? TimeRange{std::min(extent->left, e->left), std::max(extent->right, e->right)} : *e;
        }
    }
    return extent;
}

void TimeLineWindow::takeTrace(std::shared_ptr<const ChannelTrace> trace) {
    TimeLinePlot* plot = plotOf(trace->Channel());
    if (!plot) return;  // no longer shown
    const std::optional<TimeRange> before = extent();
    if (satellite_) {
        ui_->breachList->setExcursions(trace->Channel(), ExcursionsOf(*trace, *satellite_));
    }
    plot->setTrace(std::move(trace));
    const std::optional<TimeRange> after = extent();
    view_ = ViewAfterNewSamples(view_, showingAll_, following_, before, after);
    history_.Follow(view_);
    redraw();
}

void TimeLineWindow::takeDates(std::shared_ptr<const DateLine> dates) {
    dates_ = std::move(dates);
    redraw();
}

void TimeLineWindow::setView(const TimeRange& view) {
    view_ = Limited(view);
    redraw();
}

void TimeLineWindow::chooseView(const TimeRange& view, uint64_t drag) {
    showingAll_ = false;
    rangeBoxes_->dropTyping();
    setView(view);
    history_.Step({view_, false}, drag);
    enableHistoryActions();
}

int TimeLineWindow::rightRoom() const {
    size_t most = 1;
    for (const TimeLinePlot* plot : plots_) most = std::max(most, plot->channels().size());
    return RightAxesRoom(most);
}

void TimeLineWindow::redraw() {
    const int room = rightRoom();
    for (TimeLinePlot* plot : plots_) {
        plot->setRightRoom(room);
        plot->showView(view_, dates_);
    }
    ui_->timeAxis->setPicture(axisOf(ui_->timeAxis->width()));
    rangeBoxes_->showView(view_, dates_, satellite_);
}

void TimeLineWindow::showAll() {
    showEverything();
    history_.Step({view_, true});
    enableHistoryActions();
}

void TimeLineWindow::showEverything() {
    showingAll_ = true;
    rangeBoxes_->dropTyping();
    for (TimeLinePlot* plot : plots_) plot->chooseValues(std::nullopt);
    if (const auto extent = this->extent()) view_ = Showing(*extent);
    redraw();
}

void TimeLineWindow::enableHistoryActions() {
    ui_->backAction->setEnabled(history_.CanGoBack());
    ui_->forwardAction->setEnabled(history_.CanGoForward());
}

void TimeLineWindow::goBack() { showHistoryView(history_.Back()); }

void TimeLineWindow::goForward() { showHistoryView(history_.Forward()); }

void TimeLineWindow::showHistoryView(const std::optional<HistoryView>& view) {
    if (view && view->all) {
        showEverything();
    } else if (view) {
        showingAll_ = false;
        rangeBoxes_->dropTyping();
        setView(view->view);
    }
    enableHistoryActions();
}

timeline::AxisPicture TimeLineWindow::axisOf(int width) const {
    // Composed for the width left of the plots' value axes on the right, so that its marks
    // stand under the plots' times.
    const int room = rightRoom();
    AxisPicture axis = ComposeAxis(view_, *dates_, width - room);
    if (satellite_ && ui_->axisChoice->currentIndex() == 1) {
        if (auto calendar = ComposeCalendarAxis(view_, *satellite_, width - room)) axis = std::move(*calendar);
    }
    axis.width = width;
    axis.rightRoom = room;
    return axis;
}

void TimeLineWindow::useSatellite(std::shared_ptr<const SatelliteDefinition> satellite) {
    satellite_ = std::move(satellite);
    const bool elements = satellite_ && !satellite_->Elements().empty();
    ui_->axisChoice->setEnabled(elements);
    if (!elements) ui_->axisChoice->setCurrentIndex(0);
    for (TimeLinePlot* plot : plots_) plot->setSatellite(satellite_);
    worst_.clear();
    markWorstLevels();
    ui_->breachList->keepChannels({});
    reader_->useSatellite(satellite_);
    redraw();
}

std::optional<double> TimeLineWindow::utcOf(OrbitTime time) const {
    if (const ElementSet* elements = satellite_ ? ElementsNearOrbit(*satellite_, time) : nullptr)
        return TimeOfOrbit(*elements, time);
    return std::nullopt;
}

std::string TimeLineWindow::placeText(OrbitTime time) const {
    std::string text = CursorText(time, *dates_);
    if (const auto utc = utcOf(time)) text += "   " + UtcText(*utc);
    return text;
}

void TimeLineWindow::showCursor(OrbitTime time) {
    cursor_ = time;
    std::string text = placeText(time);
    if (secondCursor_) {
        text += "   Second cursor: " + placeText(*secondCursor_) + "   " +
                CursorDeltaText(*secondCursor_, time, utcOf(*secondCursor_), utcOf(time));
    }
    ui_->readoutLabel->setText(ToQt(text));
    for (TimeLinePlot* plot : plots_) plot->showCursor(time, secondCursor_);
}

void TimeLineWindow::setSecondCursor(std::optional<OrbitTime> time) {
    secondCursor_ = time;
    if (cursor_) {
        showCursor(*cursor_);
        return;
    }
    for (TimeLinePlot* plot : plots_) plot->showCursor(std::nullopt, secondCursor_);
}

void TimeLineWindow::openNearestBlock(TimeLinePlot* plot, OrbitTime time) {
    const auto sample = plot->nearestSample(time);
    if (!sample) return;
    const TraceBlock& block = plot->trace()->Block(sample->block);
    // The Orbit HiByte that gives the block the orbits of the time line.
    emit blockOpenRequested(PathToQt(block.file), block.startOrbit >> 8);
}

void TimeLineWindow::movePlot(TimeLinePlot* plot, int by) {
    const auto at = std::find(plots_.begin(), plots_.end(), plot);
    const auto index = at - plots_.begin();
    const auto to = std::clamp<std::ptrdiff_t>(index + by, 0, static_cast<std::ptrdiff_t>(plots_.size()) - 1);
    if (at == plots_.end() || to == index) return;
    plots_.erase(at);
    plots_.insert(plots_.begin() + to, plot);
    ui_->plotSplitter->insertWidget(static_cast<int>(to), plot);
}

TimeLinePicture TimeLineWindow::picture() const {
    TimeLinePicture picture;
    picture.width = ui_->plotSplitter->width();
    for (const TimeLinePlot* plot : plots_) picture.plots.push_back(plot->picture());
    if (!picture.plots.empty()) picture.width = picture.plots.front().width;
    picture.axis = axisOf(picture.width);
    return picture;
}

void TimeLineWindow::saveImage() {
    RunHandler(notifier_, [this] {
        if (plots_.empty()) return;
        const auto path = notifier_.AskForSaveFile("Save Image", saveFolder_.In("time-line.png"), kPictureFilters);
        if (!path) return;
        const auto format = PictureFormatOf(*path, kTimeLineSaveFormats);
        if (!format) throw KelvaroxError(NoPictureSuffixMessage(*path, kTimeLineSaveFormats));
        const TimeLinePicture picture = this->picture();
        SaveWholeFile(
            *path, EncodePicture(QSize(picture.width, picture.Height()), *format, QStringLiteral("Kelvarox time line"),
                                 [&](QPainter& painter) { PaintTimeLine(painter, picture); }));
        saveFolder_.Remember(*path);
    });
}

void TimeLineWindow::saveCsv() {
    if (TimeLinePlot* plot = chosenPlot()) saveCsvOf(plot);
}

void TimeLineWindow::saveCsvOf(TimeLinePlot* plot) {
    RunHandler(notifier_, [this, plot] {
        const std::vector<const ChannelTrace*> traces = plot->traces();
        if (traces.empty()) return;
        std::string titles, name = "time-line";
        for (const ChannelTrace* trace : traces) {
            titles += (titles.empty() ? "" : ", ") + PlotTitle(*trace);
            name += "-" + HexDigits(trace->Channel());
        }
        const auto path = notifier_.AskForSaveFile("Save CSV of " + titles, saveFolder_.In(name + ".csv"), kCsvFilters);
        if (!path) return;
        // One channel in the columns of the series command, several side by side.
        const std::string csv =
            traces.size() == 1 ? SamplesCsv(*traces.front(), view_) : OverlaidSamplesCsv(traces, view_);
        SaveWholeFile(*path, QByteArray::fromStdString(csv));
        saveFolder_.Remember(*path);
    });
}

void TimeLineWindow::foldOf(TimeLinePlot* plot) {
    if (!plot->trace()) return;
    emit foldRequested(
        {archiveLocation_, plot->channel(), OrbitsInView(view_), FoldStatistics::kDefaultBins, satellite_},
        ToQt(PlotTitle(*plot->trace())));
}

void TimeLineWindow::showOrbit(qint64 orbit) {
    chooseView({static_cast<double>(orbit), static_cast<double>(orbit) + 1});
}

void TimeLineWindow::showImportProgress(int done, int total) {
    ui_->importProgress->setVisible(total > 0);
    if (total > 0) {
        ui_->importProgress->setRange(0, total);
        ui_->importProgress->setValue(done);
    }
}

void TimeLineWindow::showImportStatus(const QString& text) {
    ui_->statusLabel->setText(Wrappable(text));
    ui_->statusLabel->setToolTip(text);
    ui_->statusLabel->setVisible(!text.isEmpty());
}

void TimeLineWindow::showImportWaiting(bool waiting) {
    ui_->importProgress->setFormat(waiting ? QStringLiteral("waiting") : QStringLiteral("%p%"));
}

void TimeLineWindow::readArchiveNow() { reader_->readNow(); }

void TimeLineWindow::showImportFailures(const ArchiveFeed::Failures& failures) {
    problems_->showFailures(failures);
    // The blocks not sure are looked for once a pass of the import is over, not at each of its
    // commits: the look goes through the archive's blocks in time order.
    problems_->readArchiveNow();
}

bool TimeLineWindow::holdsBlocks(int32_t channel) const {
    return std::any_of(listed_.begin(), listed_.end(),
                       [&](const archive::ChannelSummary& c) { return c.channel == channel; });
}

TimeLineLayout TimeLineWindow::layout() const {
    TimeLineLayout layout;
    for (const TimeLinePlot* plot : plots_) {
        TimeLineLayout::Plot entry{plot->channels(), plot->height()};
        // The channels the layout drew over the plot that the archive holds no blocks of yet.
        if (const auto over = overlays_.find(plot->channel()); over != overlays_.end())
            for (const int32_t channel : over->second)
                if (!holdsBlocks(channel) && !plot->shows(channel)) entry.channels.push_back(channel);
        layout.plots.push_back(std::move(entry));
    }
    for (const int32_t channel : waiting_) {
        TimeLineLayout::Plot entry{{channel}, 0};
        if (const auto over = overlays_.find(channel); over != overlays_.end())
            entry.channels.insert(entry.channels.end(), over->second.begin(), over->second.end());
        layout.plots.push_back(std::move(entry));
    }
    if (!showingAll_) layout.view = TimeLineLayout::View{view_.left, view_.right};
    layout.axis = ui_->axisChoice->currentIndex() == 1 ? "Calendar" : "Orbit";
    const WindowPosition at = PositionOf(this);
    layout.window = TimeLineLayout::Frame{at.left, at.top, width(), height()};
    return layout;
}

void TimeLineWindow::applyLayout(const TimeLineLayout& layout) {
    if (const auto& frame = layout.window) {
        resize(frame->width, frame->height);
        MoveTo(this, WindowPosition{frame->top, frame->left});
    }
    pendingLayout_ = layout;
    if (channelsRead_) showPendingLayout();
}

void TimeLineWindow::showPendingLayout() {
    const TimeLineLayout layout = std::move(*pendingLayout_);
    pendingLayout_.reset();
    overlays_.clear();
    waiting_.clear();
    QTreeWidget* list = ui_->channelList;
    std::vector<int32_t> order;
    {
        const QSignalBlocker quiet(list);
        list->clearSelection();
        std::set<int32_t> named;
        for (const TimeLineLayout::Plot& plot : layout.plots) {
            const int32_t channel = plot.channels.front();
            // A channel has one place: a layout that names it twice gets the first.
            if (!named.insert(channel).second) continue;
            std::vector<int32_t>& over = overlays_[channel];
            for (auto it = plot.channels.begin() + 1; it != plot.channels.end(); ++it)
                if (named.insert(*it).second) over.push_back(*it);
            if (QTreeWidgetItem* item = itemOf(channel)) {
                item->setSelected(true);
                order.push_back(channel);
            } else {
                waiting_.push_back(channel);
            }
        }
    }
    // The plots anew, in the layout's order and at its heights. What the old ones drew comes back
    // in the new ones: the reader sends a channel's samples only when they change.
    std::map<int32_t,
             std::pair<std::shared_ptr<const ChannelTrace>, std::shared_ptr<const std::vector<OrbitStatistics>>>>
        drawn;
    for (TimeLinePlot* plot : plots_) {
        for (const int32_t channel : plot->channels())
            drawn[channel] = {plot->traceOf(channel), plot->orbitStatisticsOf(channel)};
        delete plot;
    }
    plots_.clear();
    currentPlot_ = nullptr;
    selectionChanged();
    QList<int> heights;
    for (size_t i = 0; i < order.size(); ++i) {
        const auto plot =
            std::find_if(plots_.begin(), plots_.end(), [&](const TimeLinePlot* p) { return p->channel() == order[i]; });
        if (plot == plots_.end() || i >= plots_.size()) break;
        std::iter_swap(plots_.begin() + static_cast<std::ptrdiff_t>(i), plot);
        ui_->plotSplitter->insertWidget(static_cast<int>(i), plots_[i]);
        const auto entry = std::find_if(layout.plots.begin(), layout.plots.end(),
                                        [&](const TimeLineLayout::Plot& p) { return p.channels.front() == order[i]; });
        heights.push_back(entry->height);
    }
    if (!heights.contains(0)) ui_->plotSplitter->setSizes(heights);
    // The channels drawn over each plot that the archive holds blocks of.
    for (const auto& [first, over] : overlays_) {
        for (const int32_t channel : over) {
            TimeLinePlot* plot = plotOf(first);
            if (plot && holdsBlocks(channel)) addToPlot(plot, channel);
        }
    }
    for (auto& [channel, kept] : drawn) {
        TimeLinePlot* plot = plotOf(channel);
        if (plot && kept.first) plot->setTrace(std::move(kept.first));
        if (plot && kept.second) plot->setOrbitStatistics(channel, std::move(kept.second));
    }
    if (ui_->axisChoice->isEnabled()) ui_->axisChoice->setCurrentIndex(layout.axis == "Calendar" ? 1 : 0);
    if (layout.view) {
        showingAll_ = false;
        setView({layout.view->from, layout.view->to});
    } else {
        showAll();
    }
    if (!waiting_.empty()) showChannels(listed_);  // they are listed, greyed
}

void TimeLineWindow::keepLayoutIn(const SettingsStore& store) {
    store_ = &store;
    layouts_->useStore(&store);
    if (const auto kept = ReadKeptLayout(store)) applyLayout(*kept);
}

void TimeLineWindow::keepLayout() {
    if (!store_) return;
    // A settings file that refuses it is reported by the main window as it closes; the layout
    // is a convenience that is not worth a box of its own.
    try {
        SaveKeptLayout(*store_, layout());
    } catch (const KelvaroxError&) {}
}

void TimeLineWindow::closeEvent(QCloseEvent* event) {
    keepLayout();
    QWidget::closeEvent(event);
}

void TimeLineWindow::setFollowing(bool on) { ui_->followCheck->setChecked(on); }

void TimeLineWindow::updateMessage() {
    QString message = problem_;
    if (message.isEmpty() && !channelsRead_) message = step_;
    if (message.isEmpty() && plots_.empty()) {
        message = ui_->channelList->topLevelItemCount() == 0
                      ? QStringLiteral("The archive holds no blocks yet")
                      : QStringLiteral("Select one or more channels on the left");
    }
    ui_->messageLabel->setText(Wrappable(message));
    ui_->messageLabel->setVisible(!message.isEmpty());
    ui_->saveImageButton->setEnabled(!plots_.empty());
    ui_->saveCsvButton->setEnabled(!plots_.empty());
    ui_->foldButton->setEnabled(!plots_.empty());
}

}  // namespace kelvarox

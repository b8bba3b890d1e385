#include "ui/TimeLineWindow.h"

#include <QShortcut>
#include <QSignalBlocker>
#include <algorithm>
#include <set>

#include "core/ChannelCatalogue.h"
#include "timeline/Readout.h"
#include "core/Errors.h"
#include "ui/ArchiveReader.h"
#include "ui/ErrorReport.h"
#include "ui/Notifier.h"
#include "render/PictureFile.h"
#include "render/TextCodec.h"
#include "render/TimeLinePainter.h"
#include "ui/TimeLinePlot.h"
#include "ui_TimeLineWindow.h"

namespace kelvarox {

using namespace timeline;

namespace {

constexpr int kChannelRole = Qt::UserRole;
// A key press zooms by this factor and pans by this share of the plots' width.
constexpr double kKeyZoom = 2.0;
constexpr double kKeyPan = 0.125;

const char* const kPictureFilters = "PNG image (*.png);;SVG picture (*.svg);;PDF document (*.pdf)";
const char* const kCsvFilters = "CSV file (*.csv)";

std::string HexDigits(int32_t channel) { return ChannelCatalogue::ChannelNumberText(channel).substr(1); }

}  // namespace

TimeLineWindow::TimeLineWindow(const std::string& archiveLocation, Notifier& notifier, QWidget* parent)
    : QWidget(parent, Qt::Window), notifier_(notifier), ui_(std::make_unique<Ui::TimeLineWindow>()) {
    ui_->setupUi(this);
    ui_->importProgress->hide();
    ui_->sideSplitter->setStretchFactor(1, 1);
    ui_->sideSplitter->setSizes({330, width() - 330});
    ui_->channelList->setColumnWidth(0, 48);
    ui_->channelList->setColumnWidth(1, 130);
    ui_->channelList->setColumnWidth(2, 56);
    ui_->readoutLabel->setMinimumWidth(1);
    ui_->statusLabel->setMinimumWidth(1);
    auto dates = std::make_shared<DateLine>();
    dates->Finish();
    dates_ = std::move(dates);
    reader_ = std::make_unique<ArchiveReader>(archiveLocation);
    ConnectHandlers();
    UpdateMessage();
}

TimeLineWindow::~TimeLineWindow() = default;

void TimeLineWindow::ConnectHandlers() {
    connect(reader_.get(), &ArchiveReader::channelsRead, this, &TimeLineWindow::ShowChannels);
    connect(reader_.get(), &ArchiveReader::traceRead, this, &TimeLineWindow::TakeTrace);
    connect(reader_.get(), &ArchiveReader::datesRead, this, &TimeLineWindow::TakeDates);
    connect(reader_.get(), &ArchiveReader::problemChanged, this, [this](const QString& problem) {
        problem_ = problem;
        UpdateMessage();
    });
    connect(ui_->channelList, &QTreeWidget::itemSelectionChanged, this, &TimeLineWindow::SelectionChanged);
    connect(ui_->showAllButton, &QPushButton::clicked, this, &TimeLineWindow::showAll);
    connect(ui_->saveImageButton, &QPushButton::clicked, this, &TimeLineWindow::saveImage);
    connect(ui_->saveCsvButton, &QPushButton::clicked, this, &TimeLineWindow::saveCsv);
    connect(ui_->followCheck, &QCheckBox::toggled, this, [this](bool on) {
        following_ = on;
        emit followChanged(on);
    });
    connect(ui_->timeAxis, &TimeAxisWidget::resized, this, [this] {
        ui_->timeAxis->SetPicture(ComposeAxis(view_, *dates_, ui_->timeAxis->width()));
    });

    const auto key = [this](QKeySequence sequence, auto handler) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, handler);
    };
    key(QKeySequence(Qt::Key_Home), [this] { showAll(); });
    const auto zoom = [this](double factor) {
        showingAll_ = false;
        SetView(ZoomedAround(view_, (view_.left + view_.right) / 2, factor));
    };
    const auto pan = [this](double share) {
        showingAll_ = false;
        SetView(PannedByPixels(view_, share * 1000, 1000));
    };
    key(QKeySequence(Qt::Key_Plus), [zoom] { zoom(kKeyZoom); });
    key(QKeySequence(Qt::Key_Equal), [zoom] { zoom(kKeyZoom); });
    key(QKeySequence(Qt::Key_Minus), [zoom] { zoom(1 / kKeyZoom); });
    key(QKeySequence(Qt::Key_Left), [pan] { pan(kKeyPan); });
    key(QKeySequence(Qt::Key_Right), [pan] { pan(-kKeyPan); });
}

void TimeLineWindow::ShowChannels(const std::vector<archive::ChannelSummary>& channels) {
    std::set<int32_t> selected;
    for (const TimeLinePlot* plot : plots_) selected.insert(plot->Channel());
    const bool firstList = ui_->channelList->topLevelItemCount() == 0;
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
    }
    // The first channel is shown at once when the archive is first listed.
    if (firstList && plots_.empty() && ui_->channelList->topLevelItemCount() > 0)
        ui_->channelList->topLevelItem(0)->setSelected(true);
    UpdateMessage();
}

void TimeLineWindow::SelectionChanged() {
    std::vector<int32_t> channels;
    for (int i = 0; i < ui_->channelList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = ui_->channelList->topLevelItem(i);
        if (item->isSelected()) channels.push_back(item->data(0, kChannelRole).toInt());
    }
    // Plots of channels no longer selected go; the others keep their order and heights, and
    // the newly selected ones come below them.
    for (auto it = plots_.begin(); it != plots_.end();) {
        if (std::find(channels.begin(), channels.end(), (*it)->Channel()) != channels.end()) {
            ++it;
            continue;
        }
        if (currentPlot_ == *it) currentPlot_ = nullptr;
        delete *it;
        it = plots_.erase(it);
    }
    for (const int32_t channel : channels) {
        const bool shown =
            std::any_of(plots_.begin(), plots_.end(), [&](const TimeLinePlot* p) { return p->Channel() == channel; });
        if (!shown) AddPlot(channel);
    }
    reader_->Show(channels);
    Redraw();
    UpdateMessage();
}

TimeLinePlot* TimeLineWindow::AddPlot(int32_t channel) {
    auto* plot = new TimeLinePlot(channel, PlotColour(coloursUsed_++), ui_->plotSplitter);
    ui_->plotSplitter->addWidget(plot);
    plots_.push_back(plot);
    PlotCanvas* canvas = plot->Canvas();
    connect(canvas, &PlotCanvas::cursorMoved, this, [this, plot](double time) {
        currentPlot_ = plot;
        ShowCursor(time);
    });
    connect(canvas, &PlotCanvas::viewChosen, this, [this](const TimeRange& view) {
        showingAll_ = false;
        SetView(view);
    });
    connect(canvas, &PlotCanvas::valuesChosen, plot, [plot](const ValueRange& values) { plot->ChooseValues(values); });
    connect(canvas, &PlotCanvas::doubleClicked, this, [this, plot](double time) { OpenNearestBlock(plot, time); });
    connect(plot->MoveUpAction(), &QAction::triggered, this, [this, plot] { Move(plot, -1); });
    connect(plot->MoveDownAction(), &QAction::triggered, this, [this, plot] { Move(plot, 1); });
    connect(plot->SaveCsvAction(), &QAction::triggered, this, [this, plot] { SaveCsvOf(plot); });
    return plot;
}

std::optional<TimeRange> TimeLineWindow::Extent() const {
    std::optional<TimeRange> extent;
    for (const TimeLinePlot* plot : plots_) {
        if (!plot->Trace()) continue;
        const auto e = plot->Trace()->Extent();
        if (!e) continue;
        extent = extent ? TimeRange{std::min(extent->left, e->left), std::max(extent->right, e->right)} : *e;
    }
    return extent;
}

void TimeLineWindow::TakeTrace(std::shared_ptr<const ChannelTrace> trace) {
    const auto plot = std::find_if(plots_.begin(), plots_.end(),
                                   [&](const TimeLinePlot* p) { return p->Channel() == trace->Channel(); });
    if (plot == plots_.end()) return;  // no longer shown
    const std::optional<TimeRange> before = Extent();
    (*plot)->SetTrace(std::move(trace));
    const std::optional<TimeRange> after = Extent();
    if (showingAll_ && after) {
        view_ = Showing(*after);
    } else if (following_ && before && after && after->right > before->right && view_.right >= before->right) {
        // The view reached the newest sample: it moves on with the new ones.
        view_ = Limited({view_.left + (after->right - before->right), view_.right + (after->right - before->right)});
    }
    Redraw();
}

void TimeLineWindow::TakeDates(std::shared_ptr<const DateLine> dates) {
    dates_ = std::move(dates);
    Redraw();
}

void TimeLineWindow::SetView(const TimeRange& view) {
    view_ = Limited(view);
    Redraw();
}

void TimeLineWindow::Redraw() {
    for (TimeLinePlot* plot : plots_) plot->Show(view_, dates_);
    ui_->timeAxis->SetPicture(ComposeAxis(view_, *dates_, ui_->timeAxis->width()));
}

void TimeLineWindow::showAll() {
    showingAll_ = true;
    for (TimeLinePlot* plot : plots_) plot->ChooseValues(std::nullopt);
    if (const auto extent = Extent()) view_ = Showing(*extent);
    Redraw();
}

void TimeLineWindow::ShowCursor(OrbitTime time) {
    ui_->readoutLabel->setText(ToQt(CursorText(time, *dates_)));
    for (TimeLinePlot* plot : plots_) plot->ShowCursor(time);
}

void TimeLineWindow::OpenNearestBlock(TimeLinePlot* plot, OrbitTime time) {
    const auto sample = plot->NearestSample(time);
    if (sample) emit blockOpenRequested(PathToQt(plot->Trace()->Blocks()[sample->block].file));
}

void TimeLineWindow::Move(TimeLinePlot* plot, int by) {
    const auto at = std::find(plots_.begin(), plots_.end(), plot);
    const auto index = at - plots_.begin();
    const auto to = std::clamp<std::ptrdiff_t>(index + by, 0, static_cast<std::ptrdiff_t>(plots_.size()) - 1);
    if (at == plots_.end() || to == index) return;
    plots_.erase(at);
    plots_.insert(plots_.begin() + to, plot);
    ui_->plotSplitter->insertWidget(static_cast<int>(to), plot);
}

TimeLinePicture TimeLineWindow::Picture() const {
    TimeLinePicture picture;
    picture.width = ui_->plotSplitter->width();
    for (const TimeLinePlot* plot : plots_) picture.plots.push_back(plot->Picture());
    if (!picture.plots.empty()) picture.width = picture.plots.front().width;
    picture.axis = ComposeAxis(view_, *dates_, picture.width);
    return picture;
}

void TimeLineWindow::saveImage() {
    RunHandler(notifier_, [this] {
        if (plots_.empty()) return;
        const auto path = notifier_.AskForSaveFile("Save Image", "time-line.png", kPictureFilters);
        if (!path) return;
        const auto format = PictureFormatOf(*path, kTimeLineSaveFormats);
        if (!format) throw KelvaroxError(NoPictureSuffixMessage(*path, kTimeLineSaveFormats));
        const TimeLinePicture picture = Picture();
        SaveWholeFile(*path, EncodePicture(QSize(picture.width, picture.Height()), *format,
                                           QStringLiteral("Kelvarox time line"),
                                           [&](QPainter& painter) { PaintTimeLine(painter, picture); }));
    });
}

void TimeLineWindow::saveCsv() {
    if (plots_.empty()) return;
    const bool current = std::find(plots_.begin(), plots_.end(), currentPlot_) != plots_.end();
    SaveCsvOf(current ? currentPlot_ : plots_.front());
}

void TimeLineWindow::SaveCsvOf(TimeLinePlot* plot) {
    RunHandler(notifier_, [this, plot] {
        const ChannelTrace* trace = plot->Trace();
        if (!trace) return;
        const auto path = notifier_.AskForSaveFile("Save CSV of " + PlotTitle(*trace),
                                                   "time-line-" + HexDigits(trace->Channel()) + ".csv", kCsvFilters);
        if (path) SaveWholeFile(*path, QByteArray::fromStdString(SamplesCsv(*trace, view_)));
    });
}

void TimeLineWindow::showImportProgress(int done, int total) {
    ui_->importProgress->setVisible(total > 0);
    if (total > 0) {
        ui_->importProgress->setRange(0, total);
        ui_->importProgress->setValue(done);
    }
}

void TimeLineWindow::showImportStatus(const QString& text) { ui_->statusLabel->setText(text); }

void TimeLineWindow::setFollowing(bool on) { ui_->followCheck->setChecked(on); }

void TimeLineWindow::UpdateMessage() {
    QString message = problem_;
    if (message.isEmpty() && plots_.empty()) {
        message = ui_->channelList->topLevelItemCount() == 0 ? QStringLiteral("The archive holds no blocks yet")
                                                              : QStringLiteral("Select one or more channels on the left");
    }
    ui_->messageLabel->setText(message);
    ui_->messageLabel->setVisible(!message.isEmpty());
    ui_->saveImageButton->setEnabled(!plots_.empty());
    ui_->saveCsvButton->setEnabled(!plots_.empty());
}

}  // namespace kelvarox

#include "ui/TimeLinePlot.h"

#include <QMenu>
#include <QVBoxLayout>
#include <algorithm>

#include "core/ChannelCatalogue.h"
#include "render/TextCodec.h"
#include "render/TimeLinePainter.h"
#include "timeline/Readout.h"
#include "timeline/Trend.h"
#include "ui/FlowLayout.h"

namespace kelvarox {

using namespace timeline;

TimeLinePlot::TimeLinePlot(int32_t channel, Colour colour, QWidget* parent)
    : QWidget(parent), channel_(channel), colour_(colour), titleLabel_(new QLabel(this)),
      sampleLabel_(new QLabel(this)), statisticsLabel_(new QLabel(this)), canvas_(new PlotCanvas(this)),
      moveUpAction_(new QAction(QStringLiteral("Move Up"), this)),
      moveDownAction_(new QAction(QStringLiteral("Move Down"), this)),
      saveCsvAction_(new QAction(QStringLiteral("Save CSV..."), this)),
      foldAction_(new QAction(QStringLiteral("Fold..."), this)) {
    const QString hex = ToQt(ChannelCatalogue::ChannelNumberText(channel).substr(1));
    setObjectName(QStringLiteral("plot") + hex);
    titleLabel_->setObjectName(QStringLiteral("titleLabel"));
    sampleLabel_->setObjectName(QStringLiteral("sampleLabel"));
    statisticsLabel_->setObjectName(QStringLiteral("statisticsLabel"));
    moveUpAction_->setObjectName(QStringLiteral("moveUpAction"));
    moveDownAction_->setObjectName(QStringLiteral("moveDownAction"));
    saveCsvAction_->setObjectName(QStringLiteral("saveCsvAction"));
    foldAction_->setObjectName(QStringLiteral("foldAction"));

    QFont bold = TimeLineFont();
    bold.setBold(true);
    titleLabel_->setFont(bold);
    titleLabel_->setStyleSheet(QStringLiteral("color: rgb(%1, %2, %3)").arg(colour.r).arg(colour.g).arg(colour.b));
    titleLabel_->setText(ToQt(ChannelCatalogue::ChannelNumberText(channel) + "  " + ChannelCatalogue::NameOf(channel)));
    for (QLabel* label : {sampleLabel_, statisticsLabel_}) label->setFont(TimeLineFont());
    statisticsLabel_->setToolTip(
        QStringLiteral("Count, Min, Max, Mean and SD of the samples within the orbits in view. A range of values "
                       "chosen with a rectangle changes only the plot's height, not these."));

    // Each text whole: one that does not fit beside the others goes to a line of its own.
    auto* header = new FlowLayout(16);
    header->setContentsMargins(4, 0, layout::kRightMargin, 0);
    header->addWidget(titleLabel_);
    header->addWidget(sampleLabel_);
    header->addWidget(statisticsLabel_);
    header->setAlignment(statisticsLabel_, Qt::AlignRight);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 2, 0, 0);
    column->setSpacing(0);
    column->addLayout(header);
    column->addWidget(canvas_, 1);

    connect(canvas_, &PlotCanvas::resized, this, [this] { refresh(); });
    connect(canvas_, &PlotCanvas::menuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addActions({moveUpAction_, moveDownAction_, saveCsvAction_, foldAction_});
        menu.exec(at);
    });
}

void TimeLinePlot::setTrace(std::shared_ptr<const ChannelTrace> trace) {
    trace_ = std::move(trace);
    orbitsOf_ = nullptr;
    titleLabel_->setText(ToQt(PlotTitle(*trace_)));
    refresh();
}

void TimeLinePlot::chooseValues(std::optional<ValueRange> values) {
    chosen_ = values;
    refresh();
}

void TimeLinePlot::showView(const TimeRange& view, std::shared_ptr<const DateLine> dates) {
    view_ = view;
    dates_ = std::move(dates);
    refresh();
}

void TimeLinePlot::setSatellite(std::shared_ptr<const SatelliteDefinition> satellite) {
    satellite_ = std::move(satellite);
    refresh();
}

PlotPicture TimeLinePlot::picture() const {
    if (!trace_ || !dates_) {
        PlotPicture empty;
        empty.width = canvas_->width();
        empty.height = canvas_->height();
        empty.colour = colour_;
        return empty;
    }
    const PlotContent content{trace_.get(), chosen_, colour_, satellite_.get(), orbitStatistics()};
    return ComposePlot(content, view_, *dates_, canvas_->width(), canvas_->height());
}

std::span<const OrbitStatistics> TimeLinePlot::orbitStatistics() const {
    if (!UsesTrend(view_, TraceWidth(canvas_->width()))) return {};
    // Reckoned from the samples the plot holds, once per trace. This is the place where the
    // statistics the archive keeps per orbit are to come in, read by the archive reader with
    // the trace, so that a wide view needs no samples at all.
    if (orbitsOf_ != trace_.get()) {
        orbits_ = OrbitStatisticsOf(*trace_);
        orbitsOf_ = trace_.get();
    }
    return orbits_;
}

void TimeLinePlot::refresh() {
    PlotPicture picture = this->picture();
    statisticsLabel_->setText(ToQt(picture.statistics));
    canvas_->setPicture(std::move(picture), view_);
}

std::optional<SampleAt> TimeLinePlot::nearestSample(OrbitTime time) const {
    if (!trace_) return std::nullopt;
    return trace_->Nearest(time);
}

void TimeLinePlot::showCursor(std::optional<OrbitTime> time) {
    const auto sample = time ? nearestSample(*time) : std::nullopt;
    sampleLabel_->setText(sample ? ToQt(SampleText(*trace_, *sample)) : QString());
    // The read-out keeps the widest room it needed, so the header does not jump with the mouse.
    sampleLabel_->setMinimumWidth(std::max(sampleLabel_->minimumWidth(), sampleLabel_->sizeHint().width()));
    canvas_->setCursorLine(time, sample ? std::optional(sample->time) : std::nullopt, sample ? sample->value : 0.0f);
}

}  // namespace kelvarox

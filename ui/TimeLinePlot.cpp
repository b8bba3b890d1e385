#include "ui/TimeLinePlot.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QVBoxLayout>

#include "core/ChannelCatalogue.h"
#include "timeline/Readout.h"
#include "render/TextCodec.h"
#include "render/TimeLinePainter.h"

namespace kelvarox {

using namespace timeline;

TimeLinePlot::TimeLinePlot(int32_t channel, Colour colour, QWidget* parent)
    : QWidget(parent),
      channel_(channel),
      colour_(colour),
      titleLabel_(new QLabel(this)),
      sampleLabel_(new QLabel(this)),
      statisticsLabel_(new QLabel(this)),
      canvas_(new PlotCanvas(this)),
      moveUpAction_(new QAction(QStringLiteral("Move Up"), this)),
      moveDownAction_(new QAction(QStringLiteral("Move Down"), this)),
      saveCsvAction_(new QAction(QStringLiteral("Save CSV..."), this)) {
    const QString hex = ToQt(ChannelCatalogue::ChannelNumberText(channel).substr(1));
    setObjectName(QStringLiteral("plot") + hex);
    titleLabel_->setObjectName(QStringLiteral("titleLabel"));
    sampleLabel_->setObjectName(QStringLiteral("sampleLabel"));
    statisticsLabel_->setObjectName(QStringLiteral("statisticsLabel"));
    moveUpAction_->setObjectName(QStringLiteral("moveUpAction"));
    moveDownAction_->setObjectName(QStringLiteral("moveDownAction"));
    saveCsvAction_->setObjectName(QStringLiteral("saveCsvAction"));

    QFont bold = TimeLineFont();
    bold.setBold(true);
    titleLabel_->setFont(bold);
    titleLabel_->setStyleSheet(QStringLiteral("color: rgb(%1, %2, %3)").arg(colour.r).arg(colour.g).arg(colour.b));
    titleLabel_->setText(ToQt(ChannelCatalogue::ChannelNumberText(channel) + "  " + ChannelCatalogue::NameOf(channel)));
    for (QLabel* label : {sampleLabel_, statisticsLabel_}) label->setFont(TimeLineFont());
    // A narrow window cuts the read-out short, then the statistics, rather than the title or
    // the channel list.
    sampleLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statisticsLabel_->setMinimumWidth(1);
    statisticsLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(4, 0, layout::kRightMargin, 0);
    header->addWidget(titleLabel_);
    header->addSpacing(16);
    header->addWidget(sampleLabel_, 1);
    header->addSpacing(16);
    header->addWidget(statisticsLabel_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 2, 0, 0);
    column->setSpacing(0);
    column->addLayout(header);
    column->addWidget(canvas_, 1);

    connect(canvas_, &PlotCanvas::resized, this, [this] { Refresh(); });
    connect(canvas_, &PlotCanvas::menuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addActions({moveUpAction_, moveDownAction_, saveCsvAction_});
        menu.exec(at);
    });
}

void TimeLinePlot::SetTrace(std::shared_ptr<const ChannelTrace> trace) {
    trace_ = std::move(trace);
    titleLabel_->setText(ToQt(PlotTitle(*trace_)));
    Refresh();
}

void TimeLinePlot::ChooseValues(std::optional<ValueRange> values) {
    chosen_ = values;
    Refresh();
}

void TimeLinePlot::Show(const TimeRange& view, std::shared_ptr<const DateLine> dates) {
    view_ = view;
    dates_ = std::move(dates);
    Refresh();
}

PlotPicture TimeLinePlot::Picture() const {
    if (!trace_ || !dates_) {
        PlotPicture empty;
        empty.width = canvas_->width();
        empty.height = canvas_->height();
        empty.colour = colour_;
        return empty;
    }
    const PlotContent content{trace_.get(), chosen_, colour_};
    return ComposePlot(content, view_, *dates_, canvas_->width(), canvas_->height());
}

void TimeLinePlot::Refresh() {
    PlotPicture picture = Picture();
    statisticsLabel_->setText(ToQt(picture.statistics));
    canvas_->SetPicture(std::move(picture), view_);
}

std::optional<SampleAt> TimeLinePlot::NearestSample(OrbitTime time) const {
    if (!trace_) return std::nullopt;
    return trace_->Nearest(time);
}

void TimeLinePlot::ShowCursor(std::optional<OrbitTime> time) {
    const auto sample = time ? NearestSample(*time) : std::nullopt;
    sampleLabel_->setText(sample ? ToQt(SampleText(*trace_, *sample)) : QString());
    canvas_->SetCursor(time, sample ? std::optional(sample->time) : std::nullopt, sample ? sample->value : 0.0f);
}

}  // namespace kelvarox

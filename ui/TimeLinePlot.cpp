#include "ui/TimeLinePlot.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <algorithm>
#include <span>

#include "core/ChannelCatalogue.h"
#include "render/TextCodec.h"
#include "render/TimeLinePainter.h"
#include "timeline/CursorDelta.h"
#include "timeline/Readout.h"
#include "ui/FlowLayout.h"

namespace kelvarox {

using namespace timeline;

namespace {

QString HexDigits(int32_t channel) { return ToQt(ChannelCatalogue::ChannelNumberText(channel).substr(1)); }

QString RemoveText(int32_t channel, const std::string& name) {
    return QStringLiteral("Remove %1 %2 from plot").arg(ToQt(ChannelCatalogue::ChannelNumberText(channel)), ToQt(name));
}

// The channel a drag carries; nothing when it carries none.
std::optional<int32_t> DraggedChannel(const QMimeData* data) {
    if (!data || !data->hasFormat(QString::fromLatin1(kChannelMimeType))) return std::nullopt;
    bool ok = false;
    const int channel = data->data(QString::fromLatin1(kChannelMimeType)).toInt(&ok);
    return ok ? std::optional<int32_t>(channel) : std::nullopt;
}

}  // namespace

TimeLinePlot::TimeLinePlot(int32_t channel, Colour colour, QWidget* parent)
    : QWidget(parent), headers_(new QVBoxLayout), canvas_(new PlotCanvas(this)),
      moveUpAction_(new QAction(QStringLiteral("Move Up"), this)),
      moveDownAction_(new QAction(QStringLiteral("Move Down"), this)),
      saveCsvAction_(new QAction(QStringLiteral("Save CSV..."), this)),
      foldAction_(new QAction(QStringLiteral("Fold..."), this)),
      clearSecondCursorAction_(new QAction(QStringLiteral("Clear Second Cursor"), this)) {
    moveUpAction_->setObjectName(QStringLiteral("moveUpAction"));
    moveDownAction_->setObjectName(QStringLiteral("moveDownAction"));
    saveCsvAction_->setObjectName(QStringLiteral("saveCsvAction"));
    foldAction_->setObjectName(QStringLiteral("foldAction"));
    clearSecondCursorAction_->setObjectName(QStringLiteral("clearSecondCursorAction"));
    clearSecondCursorAction_->setShortcut(QKeySequence(Qt::Key_Escape));
    clearSecondCursorAction_->setEnabled(false);

    headers_->setContentsMargins(0, 0, 0, 0);
    headers_->setSpacing(0);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 2, 0, 0);
    column->setSpacing(0);
    column->addLayout(headers_);
    column->addWidget(canvas_, 1);
    channels_.push_back(makeChannel(channel, colour));
    nameChannels();
    setAcceptDrops(true);

    connect(canvas_, &PlotCanvas::resized, this, [this] { refresh(); });
    connect(canvas_, &PlotCanvas::menuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addActions({moveUpAction_, moveDownAction_, saveCsvAction_, foldAction_});
        menu.addSeparator();
        for (const Channel& c : channels_) menu.addAction(c.remove);
        menu.addAction(clearSecondCursorAction_);
        menu.exec(at);
    });
}

void TimeLinePlot::dragEnterEvent(QDragEnterEvent* event) {
    const auto channel = DraggedChannel(event->mimeData());
    if (channel && !shows(*channel)) event->acceptProposedAction();
}

void TimeLinePlot::dropEvent(QDropEvent* event) {
    const auto channel = DraggedChannel(event->mimeData());
    if (!channel || shows(*channel)) return;
    event->acceptProposedAction();
    emit channelDropped(*channel);
}

TimeLinePlot::Channel TimeLinePlot::makeChannel(int32_t channel, Colour colour) {
    Channel c;
    c.number = channel;
    c.colour = colour;
    c.header = new FlowLayout(16);
    c.title = new QLabel(this);
    c.sample = new QLabel(this);
    c.statistics = new QLabel(this);
    c.remove = new QAction(this);
    QFont bold = TimeLineFont();
    bold.setBold(true);
    c.title->setFont(bold);
    const QString style = QStringLiteral("color: rgb(%1, %2, %3)").arg(colour.r).arg(colour.g).arg(colour.b);
    c.title->setStyleSheet(style);
    c.title->setText(ToQt(ChannelCatalogue::ChannelNumberText(channel) + "  " + ChannelCatalogue::NameOf(channel)));
    for (QLabel* label : {c.sample, c.statistics}) label->setFont(TimeLineFont());
    c.statistics->setToolTip(
        QStringLiteral("Count, Min, Max, Mean and SD of the samples within the orbits in view. A range of values "
                       "chosen with a rectangle changes only the plot's height, not these."));
    c.remove->setText(RemoveText(channel, ChannelCatalogue::NameOf(channel)));
    connect(c.remove, &QAction::triggered, this, [this, channel] { emit removeRequested(channel); });

    // Each text whole: one that does not fit beside the others goes to a line of its own.
    c.header->setContentsMargins(4, 0, layout::kRightMargin, 0);
    for (QLabel* label : {c.title, c.sample, c.statistics}) c.header->addWidget(label);
    c.header->setAlignment(c.statistics, Qt::AlignRight);
    headers_->addLayout(c.header);
    return c;
}

void TimeLinePlot::nameChannels() {
    setObjectName(QStringLiteral("plot") + HexDigits(channel()));
    const bool overlaid = channels_.size() > 1;
    for (size_t n = 0; n < channels_.size(); ++n) {
        const Channel& c = channels_[n];
        // The first channel's labels keep the plot's own names; the others' carry their Hex#.
        const QString suffix = n == 0 ? QString() : HexDigits(c.number);
        c.title->setObjectName(QStringLiteral("titleLabel") + suffix);
        c.sample->setObjectName(QStringLiteral("sampleLabel") + suffix);
        c.statistics->setObjectName(QStringLiteral("statisticsLabel") + suffix);
        c.remove->setObjectName(QStringLiteral("removeAction") + HexDigits(c.number));
        c.statistics->setStyleSheet(overlaid ? c.title->styleSheet() : QString());
        c.sample->setStyleSheet(overlaid ? c.title->styleSheet() : QString());
    }
}

std::vector<int32_t> TimeLinePlot::channels() const {
    std::vector<int32_t> numbers;
    for (const Channel& c : channels_) numbers.push_back(c.number);
    return numbers;
}

std::optional<size_t> TimeLinePlot::indexOf(int32_t channel) const {
    for (size_t i = 0; i < channels_.size(); ++i)
        if (channels_[i].number == channel) return i;
    return std::nullopt;
}

bool TimeLinePlot::shows(int32_t channel) const { return indexOf(channel).has_value(); }

void TimeLinePlot::addChannel(int32_t channel, Colour colour, std::shared_ptr<const ChannelTrace> trace) {
    if (shows(channel)) return;
    channels_.push_back(makeChannel(channel, colour));
    nameChannels();
    if (trace) {
        setTrace(std::move(trace));
        return;
    }
    refresh();
}

void TimeLinePlot::removeChannel(int32_t channel) {
    const std::optional<size_t> index = indexOf(channel);
    if (!index || channels_.size() == 1) return;
    const auto at = channels_.begin() + static_cast<std::ptrdiff_t>(*index);
    if (at == channels_.begin()) chosen_.reset();  // the values chosen were the first channel's
    headers_->removeItem(at->header);
    for (QLabel* label : {at->title, at->sample, at->statistics}) delete label;
    delete at->header;
    // The action may be the one being triggered.
    at->remove->setObjectName(QString());
    at->remove->deleteLater();
    channels_.erase(at);
    nameChannels();
    refresh();
}

std::shared_ptr<const ChannelTrace> TimeLinePlot::traceOf(int32_t channel) const {
    const std::optional<size_t> index = indexOf(channel);
    return index ? channels_[*index].trace : nullptr;
}

std::vector<const ChannelTrace*> TimeLinePlot::traces() const {
    std::vector<const ChannelTrace*> traces;
    for (const Channel& c : channels_)
        if (c.trace) traces.push_back(c.trace.get());
    return traces;
}

void TimeLinePlot::setTrace(std::shared_ptr<const ChannelTrace> trace) {
    const std::optional<size_t> index = indexOf(trace->Channel());
    if (!index) return;
    Channel& c = channels_[*index];
    c.trace = std::move(trace);
    c.title->setText(ToQt(PlotTitle(*c.trace)));
    c.remove->setText(RemoveText(c.number, c.trace->Name()));
    refresh();
}

void TimeLinePlot::setOrbitStatistics(int32_t channel, std::shared_ptr<const std::vector<OrbitStatistics>> orbits) {
    const std::optional<size_t> index = indexOf(channel);
    if (!index) return;
    channels_[*index].orbits = std::move(orbits);
    refresh();
}

std::shared_ptr<const std::vector<OrbitStatistics>> TimeLinePlot::orbitStatisticsOf(int32_t channel) const {
    const std::optional<size_t> index = indexOf(channel);
    return index ? channels_[*index].orbits : nullptr;
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

void TimeLinePlot::setRightRoom(int room) { rightRoom_ = room; }

PlotPicture TimeLinePlot::picture() const {
    std::vector<PlotContent> contents;
    for (const Channel& c : channels_) {
        // The channels whose samples have been read, the first with its chosen values and limits.
        if (!c.trace) continue;
        const bool first = contents.empty();
        contents.push_back(
            {c.trace.get(), first ? chosen_ : std::nullopt, c.colour, first ? satellite_.get() : nullptr,
             c.orbits ? std::span<const OrbitStatistics>(*c.orbits) : std::span<const OrbitStatistics>()});
    }
    if (contents.empty() || !dates_) {
        PlotPicture empty;
        empty.width = canvas_->width();
        empty.height = canvas_->height();
        empty.rightRoom = rightRoom_;
        empty.colour = channels_.front().colour;
        return empty;
    }
    return ComposePlot(contents, view_, *dates_, canvas_->width(), canvas_->height(), rightRoom_);
}

void TimeLinePlot::refresh() {
    PlotPicture picture = this->picture();
    size_t drawn = 0;  // the channels in the picture: those with samples read
    for (Channel& c : channels_) {
        QString statistics;
        if (c.trace && drawn <= picture.overlays.size() && !picture.title.empty()) {
            statistics = ToQt(drawn == 0 ? picture.statistics : picture.overlays[drawn - 1].statistics);
            ++drawn;
        }
        c.statistics->setText(statistics);
    }
    canvas_->setPicture(std::move(picture), view_);
}

std::optional<SampleAt> TimeLinePlot::nearestSample(OrbitTime time) const {
    if (!trace()) return std::nullopt;
    return trace()->Nearest(time);
}

void TimeLinePlot::showCursor(std::optional<OrbitTime> time, std::optional<OrbitTime> second) {
    std::vector<PlotCanvas::SampleMark> marks;
    size_t drawn = 0;  // the channels in the picture: those with samples read
    for (const Channel& c : channels_) {
        const auto sample = time && c.trace ? c.trace->Nearest(*time) : std::nullopt;
        const auto secondSample = second && c.trace ? c.trace->Nearest(*second) : std::nullopt;
        std::string text = sample ? SampleText(*c.trace, *sample) : std::string();
        if (sample && secondSample) text += "   " + SampleDeltaText(*c.trace, *secondSample, *sample);
        c.sample->setText(ToQt(text));
        // The read-out keeps the widest room it needed, so the header does not jump with the mouse.
        c.sample->setMinimumWidth(std::max(c.sample->minimumWidth(), c.sample->sizeHint().width()));
        if (sample) marks.push_back({drawn, sample->time, sample->value});
        if (c.trace) ++drawn;
    }
    clearSecondCursorAction_->setEnabled(second.has_value());
    canvas_->setCursorLine(time, std::move(marks));
    canvas_->setSecondCursorLine(second);
}

}  // namespace kelvarox

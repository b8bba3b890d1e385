#pragma once
// One channel of the time line window: a header with the channel's title, the read-out of its
// sample nearest the cursor and the statistics of the samples in view, over its canvas. The
// plot follows the window's view; its own height of values may be chosen with a rectangle.
#include <QAction>
#include <QLabel>
#include <QWidget>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "timeline/DateLine.h"
#include "timeline/TimeLinePicture.h"
#include "ui/PlotCanvas.h"

namespace kelvarox {

class TimeLinePlot : public QWidget {
    Q_OBJECT
public:
    TimeLinePlot(int32_t channel, timeline::Colour colour, QWidget* parent = nullptr);

    int32_t channel() const { return channel_; }
    // The channel's samples; nothing until the archive has been read.
    const timeline::ChannelTrace* trace() const { return trace_.get(); }
    void setTrace(std::shared_ptr<const timeline::ChannelTrace> trace);

    // Values chosen for the plot's height; nothing gives rounded limits of the samples in view.
    void chooseValues(std::optional<timeline::ValueRange> values);
    // The satellite whose limits the plot draws; none: no limits.
    void setSatellite(std::shared_ptr<const SatelliteDefinition> satellite);

    // Composes the plot for `view` at the canvas's size; again whenever the canvas is resized.
    void showView(const timeline::TimeRange& view, std::shared_ptr<const timeline::DateLine> dates);
    // The plot as a whole picture shows it, composed at the canvas's size.
    timeline::PlotPicture picture() const;

    // The cursor at `time`: the line across the canvas and the sample nearest to it, in the
    // read-out; nothing clears them.
    void showCursor(std::optional<timeline::OrbitTime> time);
    // The sample nearest to `time`.
    std::optional<timeline::SampleAt> nearestSample(timeline::OrbitTime time) const;

    PlotCanvas* canvas() const { return canvas_; }
    QAction* moveUpAction() const { return moveUpAction_; }
    QAction* moveDownAction() const { return moveDownAction_; }
    QAction* saveCsvAction() const { return saveCsvAction_; }
    QAction* foldAction() const { return foldAction_; }

private:
    void refresh();
    // The statistics of the channel's orbits for the trend of a view of more orbits than columns.
    std::span<const OrbitStatistics> orbitStatistics() const;

    int32_t channel_;
    timeline::Colour colour_;
    std::shared_ptr<const timeline::ChannelTrace> trace_;
    mutable std::vector<OrbitStatistics> orbits_;  // of trace_, once a view needs them
    mutable const timeline::ChannelTrace* orbitsOf_ = nullptr;
    std::shared_ptr<const timeline::DateLine> dates_;
    std::shared_ptr<const SatelliteDefinition> satellite_;
    std::optional<timeline::ValueRange> chosen_;
    timeline::TimeRange view_;
    QLabel* titleLabel_;
    QLabel* sampleLabel_;
    QLabel* statisticsLabel_;
    PlotCanvas* canvas_;
    QAction* moveUpAction_;
    QAction* moveDownAction_;
    QAction* saveCsvAction_;
    QAction* foldAction_;
};

}  // namespace kelvarox

#pragma once
// One plot of the time line window: one channel, or several drawn over each other, each in its
// colour with its own value axis. A header line for each channel with its title, the read-out
// of its samples nearest the cursors and the statistics of the samples in view, over the
// plot's canvas. The plot follows the window's view; the first channel's height of values may
// be chosen with a rectangle.
#include <QAction>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "timeline/DateLine.h"
#include "timeline/TimeLinePicture.h"
#include "ui/FlowLayout.h"
#include "ui/PlotCanvas.h"

namespace kelvarox {

// What a channel dragged from the channel list carries: its number as decimal text.
inline constexpr const char* kChannelMimeType = "application/x-kelvarox-channel";

class TimeLinePlot : public QWidget {
    Q_OBJECT
public:
    TimeLinePlot(int32_t channel, timeline::Colour colour, QWidget* parent = nullptr);

    // The first channel, and all of them in their order (the first's axis on the left).
    int32_t channel() const { return channels_.front().number; }
    std::vector<int32_t> channels() const;
    bool shows(int32_t channel) const;
    // Another channel over the others, with its samples when they have been read already.
    void addChannel(int32_t channel, timeline::Colour colour,
                    std::shared_ptr<const timeline::ChannelTrace> trace = nullptr);
    // Takes a channel out; the last one stays.
    void removeChannel(int32_t channel);

    // The first channel's samples; nothing until the archive has been read.
    const timeline::ChannelTrace* trace() const { return channels_.front().trace.get(); }
    // A channel's samples, the traces read of them all.
    std::shared_ptr<const timeline::ChannelTrace> traceOf(int32_t channel) const;
    std::vector<const timeline::ChannelTrace*> traces() const;
    // The samples of the channel of `trace`.
    void setTrace(std::shared_ptr<const timeline::ChannelTrace> trace);
    // The statistics the archive keeps of each orbit of `channel`, for the trend of a view of
    // more orbits than columns; until they come the plot draws its samples.
    void setOrbitStatistics(int32_t channel, std::shared_ptr<const std::vector<OrbitStatistics>> orbits);
    std::shared_ptr<const std::vector<OrbitStatistics>> orbitStatisticsOf(int32_t channel) const;

    // Values chosen for the first channel's height; nothing gives rounded limits of the samples
    // in view.
    void chooseValues(std::optional<timeline::ValueRange> values);
    // The satellite whose limits the plot draws; none: no limits.
    void setSatellite(std::shared_ptr<const SatelliteDefinition> satellite);
    // The room right of the trace area for value axes: the window's plots all take the same.
    void setRightRoom(int room);

    // Composes the plot for `view` at the canvas's size; again whenever the canvas is resized.
    void showView(const timeline::TimeRange& view, std::shared_ptr<const timeline::DateLine> dates);
    // The plot as a whole picture shows it, composed at the canvas's size.
    timeline::PlotPicture picture() const;

    // The cursor at `time` and the second cursor: their lines across the canvas, and each
    // channel's samples nearest to them in the read-out with the difference; nothing clears.
    void showCursor(std::optional<timeline::OrbitTime> time, std::optional<timeline::OrbitTime> second = std::nullopt);
    // The first channel's sample nearest to `time`.
    std::optional<timeline::SampleAt> nearestSample(timeline::OrbitTime time) const;

    PlotCanvas* canvas() const { return canvas_; }
    QAction* moveUpAction() const { return moveUpAction_; }
    QAction* moveDownAction() const { return moveDownAction_; }
    QAction* saveCsvAction() const { return saveCsvAction_; }
    QAction* foldAction() const { return foldAction_; }
    QAction* clearSecondCursorAction() const { return clearSecondCursorAction_; }

signals:
    // "Remove NAME from plot" was chosen.
    void removeRequested(int32_t channel);
    // A channel it does not show was dropped on the plot.
    void channelDropped(int32_t channel);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Channel {
        int32_t number = 0;
        timeline::Colour colour;
        std::shared_ptr<const timeline::ChannelTrace> trace;
        FlowLayout* header = nullptr;
        QLabel* title = nullptr;
        QLabel* sample = nullptr;
        QLabel* statistics = nullptr;
        QAction* remove = nullptr;
        std::shared_ptr<const std::vector<OrbitStatistics>> orbits;  // as the archive keeps them
    };
    Channel makeChannel(int32_t channel, timeline::Colour colour);
    // Where `channel` stands among the plot's channels, if it is one of them.
    std::optional<size_t> indexOf(int32_t channel) const;
    // The names and texts that follow the channels' order: the first's are the plot's own.
    void nameChannels();
    void refresh();

    std::vector<Channel> channels_;
    std::shared_ptr<const timeline::DateLine> dates_;
    std::shared_ptr<const SatelliteDefinition> satellite_;
    std::optional<timeline::ValueRange> chosen_;
    timeline::TimeRange view_;
    int rightRoom_ = 0;
    QVBoxLayout* headers_;
    PlotCanvas* canvas_;
    QAction* moveUpAction_;
    QAction* moveDownAction_;
    QAction* saveCsvAction_;
    QAction* foldAction_;
    QAction* clearSecondCursorAction_;
};

}  // namespace kelvarox

#pragma once
// The time line window: channels across all the archive's blocks. A list of the archived
// channels, several selectable; each selected channel in a plot of its own, or added to
// another's plot, the plots stacked and sharing one orbit axis; zoom, pan and Show All for all
// plots at once; the read-out at the cursor, and at a second cursor with the difference; the
// statistics of the samples in view; the picture and the samples saved to files. New blocks
// appear as the archive takes them. A top-level window of its own.
#include <QAction>
#include <QTreeWidgetItem>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "core/SatelliteDefinition.h"
#include "services/ArchiveFeed.h"
#include "services/FoldReader.h"
#include "settings/SettingsStore.h"
#include "settings/TimeLineLayout.h"
#include "timeline/DateLine.h"
#include "timeline/Excursions.h"
#include "timeline/TimeLinePicture.h"
#include "timeline/ViewHistory.h"
#include "ui/SaveFolder.h"

namespace Ui {
class TimeLineWindow;
}

namespace kelvarox {

class ArchiveReader;
class BackForwardMouse;
class RangeBoxes;
class ImportProblemsPanel;
class LayoutMenu;
class Notifier;
class TimeLinePlot;

class TimeLineWindow : public QWidget {
    Q_OBJECT
public:
    // Reads the archive at `archiveLocation` from now on; created hidden.
    TimeLineWindow(const std::string& archiveLocation, Notifier& notifier, QWidget* parent = nullptr);
    ~TimeLineWindow() override;

    // The picture of the plots on display with the orbit axis, at their sizes on the screen.
    timeline::TimeLinePicture picture() const;

    // The plots on display, top to bottom; each plot's channels() are the channels it draws.
    const std::vector<TimeLinePlot*>& plots() const { return plots_; }
    // Draws `channel` in `plot` too, over its channels: selected in the list if it was not,
    // and taken out of the plot that showed it (which goes when it held nothing else).
    void addToPlot(TimeLinePlot* plot, int32_t channel);
    // The plots with their channels, order and heights, the view, the axis and the window's place.
    TimeLineLayout layout() const;
    // Shows `layout`: its channels that the archive does not hold are kept in the layout, and
    // get their plots when their blocks come.
    void applyLayout(const TimeLineLayout& layout);
    // The store that keeps the layout between two runs and the layout files used last: the kept
    // layout is shown now, and the layout is kept there when the window closes (keepLayout).
    void keepLayoutIn(const SettingsStore& store);
    void keepLayout();

signals:
    // A double-click on a plot: the block of the sample nearest to it, for Load and Graph with
    // the Orbit HiByte that gives it the orbits of the time line.
    void blockOpenRequested(const QString& path, qint64 orbitHiByte);
    // Follow mode was switched.
    void followChanged(bool on);
    // Fold was chosen for a plot: its channel over the orbits in view, named by `title`.
    void foldRequested(const kelvarox::FoldReader::Request& request, const QString& title);

public slots:
    // Every sample of the plots on display, at the heights of their values.
    void showAll();
    // The view before or after the present one in the history of the views chosen.
    void goBack();
    void goForward();
    void saveImage();
    // The samples in view of the plot the mouse was last over (the first when none) as CSV.
    void saveCsv();
    void showImportProgress(int done, int total);
    void showImportStatus(const QString& text);
    // An import waits for another program that writes to the archive.
    void showImportWaiting(bool waiting);
    void setFollowing(bool on);
    // The archive has changed: the plots show it now rather than at the next look.
    void readArchiveNow();
    // The satellite whose names, equations, limits and elements the plots take; read anew.
    void useSatellite(std::shared_ptr<const SatelliteDefinition> satellite);
    // The view of one whole orbit.
    void showOrbit(qint64 orbit);
    // The second cursor at `time` (a Shift-click), or none.
    void setSecondCursor(std::optional<timeline::OrbitTime> time);

    // A pass of the import is over: the files of the telemetry directory that failed to load,
    // for the import's problems, whose blocks not sure are read anew.
    void showImportFailures(const kelvarox::ArchiveFeed::Failures& failures);

protected:
    // The channel list's right button opens its menu without changing the selection; a channel
    // dragged from it with the left button is dropped on a plot.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectHandlers();
    void showChannels(const std::vector<archive::ChannelSummary>& channels);
    void selectionChanged();
    std::vector<int32_t> selectedChannels() const;
    // The channels on display have changed: read, listed and drawn anew.
    void channelsChanged();
    void showChannelMenu(const QPoint& at);
    TimeLinePlot* plotOf(int32_t channel) const;
    // The plot the mouse was last over, else the first; none without plots.
    TimeLinePlot* chosenPlot() const;
    // The list's item of `channel`, or at `at`; greyed channels and headings are none.
    QTreeWidgetItem* itemOf(int32_t channel) const;
    QTreeWidgetItem* channelItemAt(const QPoint& at) const;
    // The archive holds blocks of `channel`, as last read.
    bool holdsBlocks(int32_t channel) const;
    void deletePlot(TimeLinePlot* plot);
    // The room right of the plots' trace areas for the value axes of the plot with most channels.
    int rightRoom() const;
    // The cursor's place in the read-out, with its UTC when the elements give it.
    std::string placeText(timeline::OrbitTime time) const;
    std::optional<double> utcOf(timeline::OrbitTime time) const;
    // The channel list's mark of the worst level beyond the limits of each channel.
    void markWorstLevels();
    void takeTrace(std::shared_ptr<const timeline::ChannelTrace> trace);
    void takeDates(std::shared_ptr<const timeline::DateLine> dates);
    void setView(const timeline::TimeRange& view);
    // A view the user chose: a step of the history (the drag's pans one step).
    void chooseView(const timeline::TimeRange& view, uint64_t drag = 0);
    void showEverything();
    void showHistoryView(const std::optional<timeline::HistoryView>& view);
    void enableHistoryActions();
    void redraw();
    void showCursor(timeline::OrbitTime time);
    void openNearestBlock(TimeLinePlot* plot, timeline::OrbitTime time);
    void movePlot(TimeLinePlot* plot, int by);
    void saveCsvOf(TimeLinePlot* plot);
    void foldOf(TimeLinePlot* plot);
    TimeLinePlot* addPlot(int32_t channel);
    // The last `added` plots were just added: the height is shared anew.
    void shareHeights(size_t added);
    std::optional<timeline::TimeRange> extent() const;
    // The axis under plots `width` pixels wide: of orbits, or of the calendar when chosen.
    timeline::AxisPicture axisOf(int width) const;
    void updateMessage();
    // `name` in the folder of the last file saved, at first the working directory.

    const std::string archiveLocation_;
    Notifier& notifier_;
    std::unique_ptr<Ui::TimeLineWindow> ui_;
    std::unique_ptr<ArchiveReader> reader_;
    std::vector<TimeLinePlot*> plots_;  // in their order, top to bottom
    TimeLinePlot* currentPlot_ = nullptr;
    std::shared_ptr<const timeline::DateLine> dates_;
    std::shared_ptr<const SatelliteDefinition> satellite_;
    std::map<int32_t, timeline::LimitLevel> worst_;  // of the channels with limits, across the archive
    timeline::TimeRange view_;
    std::optional<timeline::OrbitTime> cursor_;
    std::optional<timeline::OrbitTime> secondCursor_;
    QAction* addToPlotAction_;
    // A channel pressed in the list without Ctrl or Shift: a drag, or a click at its release.
    std::optional<QPoint> pressedAt_;
    bool showingAll_ = true;  // the view follows the extent of the plots until a zoom or pan
    timeline::ViewHistory history_;
    RangeBoxes* rangeBoxes_ = nullptr;
    BackForwardMouse* mouse_ = nullptr;
    bool following_ = true;
    size_t coloursUsed_ = 0;
    QString problem_;
    QString step_;  // what the reader does before the channels are first read
    bool channelsRead_ = false;
    SaveFolder saveFolder_;
    ImportProblemsPanel* problems_;
    LayoutMenu* layouts_;
    const SettingsStore* store_ = nullptr;
    std::optional<TimeLineLayout> pendingLayout_;       // to show once the channels are listed
    std::vector<int32_t> waiting_;                      // channels of the layout without blocks, in its order
    std::map<int32_t, std::vector<int32_t>> overlays_;  // the channels a layout draws over a plot's own
    std::vector<archive::ChannelSummary> listed_;       // the archive's channels, as last read
    void showPendingLayout();
};

}  // namespace kelvarox

#pragma once
// The time line window: channels across all the archive's blocks. A list of the archived
// channels, several selectable; each selected channel in a plot of its own, stacked and sharing
// one orbit axis; zoom, pan and Show All for all plots at once; the read-out at the cursor and
// the statistics of the samples in view; the picture and the samples saved to files. New blocks
// appear as the archive takes them. A top-level window of its own.
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "core/SatelliteDefinition.h"
#include "services/ArchiveFeed.h"
#include "settings/SettingsStore.h"
#include "settings/TimeLineLayout.h"
#include "timeline/DateLine.h"
#include "timeline/Excursions.h"
#include "timeline/TimeLinePicture.h"

namespace Ui {
class TimeLineWindow;
}

namespace kelvarox {

class ArchiveReader;
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

public slots:
    // Every sample of the plots on display, at the heights of their values.
    void showAll();
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
    // A pass of the import is over: the files of the telemetry directory that failed to load,
    // for the import's problems, whose blocks not sure are read anew.
    void showImportFailures(const kelvarox::ArchiveFeed::Failures& failures);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void connectHandlers();
    void showChannels(const std::vector<archive::ChannelSummary>& channels);
    void selectionChanged();
    // The channel list's mark of the worst level beyond the limits of each channel.
    void markWorstLevels();
    void takeTrace(std::shared_ptr<const timeline::ChannelTrace> trace);
    void takeDates(std::shared_ptr<const timeline::DateLine> dates);
    void setView(const timeline::TimeRange& view);
    void redraw();
    void showCursor(timeline::OrbitTime time);
    void openNearestBlock(TimeLinePlot* plot, timeline::OrbitTime time);
    void movePlot(TimeLinePlot* plot, int by);
    void saveCsvOf(TimeLinePlot* plot);
    TimeLinePlot* addPlot(int32_t channel);
    // The last `added` plots were just added: the height is shared anew.
    void shareHeights(size_t added);
    std::optional<timeline::TimeRange> extent() const;
    // The axis under plots `width` pixels wide: of orbits, or of the calendar when chosen.
    timeline::AxisPicture axisOf(int width) const;
    void updateMessage();
    // `name` in the folder of the last file saved, at first the working directory.
    std::string inSaveFolder(const std::string& name) const;

    Notifier& notifier_;
    std::unique_ptr<Ui::TimeLineWindow> ui_;
    std::unique_ptr<ArchiveReader> reader_;
    std::vector<TimeLinePlot*> plots_;  // in their order, top to bottom
    TimeLinePlot* currentPlot_ = nullptr;
    std::shared_ptr<const timeline::DateLine> dates_;
    std::shared_ptr<const SatelliteDefinition> satellite_;
    std::map<int32_t, timeline::LimitLevel> worst_;  // of the channels with limits, across the archive
    timeline::TimeRange view_;
    bool showingAll_ = true;  // the view follows the extent of the plots until a zoom or pan
    bool following_ = true;
    size_t coloursUsed_ = 0;
    QString problem_;
    QString step_;  // what the reader does before the channels are first read
    bool channelsRead_ = false;
    std::string saveFolder_;  // of the last file saved
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

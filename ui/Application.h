#pragma once
// The running program: its state, its settings store, its boxes, and its four windows,
// created once in the order main, graph, setup, table and afterwards only shown and hidden,
// with the time line window, created when it is first asked for, and the feed that adds the
// telemetry directory's blocks to the archive it shows. It joins the windows: the main
// window's requests reach the others through their signals, and an error that an action
// raises ends there in the error report.
#include <memory>

#include "settings/SettingsStore.h"
#include "ui/Notifier.h"
#include "ui/ProgramState.h"
#include "ui/StartCommandLine.h"

namespace kelvarox {

class ArchiveFeed;
class MainWindow;
class SatelliteDialog;
class GraphWindow;
class SetupWindow;
class TableWindow;
class TimeLineWindow;

class KelvaroxApplication {
public:
    // Tells the user when the settings file cannot be used (SettingsStore::Warning), runs the
    // program's start-up (StartProgram), then creates the windows; none is shown yet. `start`
    // names the command line's directory for this session and the block to load at Start().
    KelvaroxApplication(SettingsStore store, Notifier& notifier, StartPaths start = {});
    ~KelvaroxApplication();
    KelvaroxApplication(const KelvaroxApplication&) = delete;
    KelvaroxApplication& operator=(const KelvaroxApplication&) = delete;

    // Shows the main window, then loads and graphs the command line's block. The program ends
    // when the main window asks to quit (its quitRequested signal), which whoever runs the event
    // loop connects to its end.
    void Start();
    // Starts adding the telemetry directory's blocks to the archive in the background, and
    // following the directory for new ones.
    void StartArchiveFeed();

    ProgramState& State() { return state_; }
    const SettingsStore& Store() const { return store_; }
    Notifier& Notify() { return notifier_; }

    MainWindow& Main() { return *main_; }
    GraphWindow& Graph() { return *graph_; }
    SetupWindow& Setup() { return *setup_; }
    TableWindow& Table() { return *table_; }
    // Nothing until Menu > Time Line first asks for it.
    TimeLineWindow* TimeLine() { return timeLine_.get(); }

private:
    void Connect();
    void ShowTimeLine();
    void ShowSatellite();

    ProgramState state_;
    SettingsStore store_;
    Notifier& notifier_;
    std::optional<QString> startBlockFile_;
    std::optional<std::string> satelliteFile_;  // of the command line
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<GraphWindow> graph_;    // a top-level window of its own
    SetupWindow* setup_ = nullptr;          // owned by the main window
    TableWindow* table_ = nullptr;          // owned by the main window
    SatelliteDialog* satellite_ = nullptr;  // owned by the main window; made when first asked for
    std::unique_ptr<ArchiveFeed> feed_;
    std::unique_ptr<TimeLineWindow> timeLine_;  // a top-level window of its own
};

}  // namespace kelvarox

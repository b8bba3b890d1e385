#pragma once
// The running program: its state, its settings store, its boxes, and its four windows,
// created once in the order main, graph, setup, table and afterwards only shown and hidden.
#include <functional>
#include <memory>

#include "core/ProgramState.h"
#include "settings/SettingsStore.h"
#include "ui/Notifier.h"

namespace kelvarox {

class MainWindow;
class GraphWindow;
class SetupWindow;
class TableWindow;

class KelvaroxApplication {
public:
    // Creates the windows (each runs its creation handler); none is shown yet.
    KelvaroxApplication(SettingsStore store, Notifier& notifier);
    ~KelvaroxApplication();
    KelvaroxApplication(const KelvaroxApplication&) = delete;
    KelvaroxApplication& operator=(const KelvaroxApplication&) = delete;

    // Shows the main window.
    void Start();
    // Ends the event loop at once; no window's close handler runs.
    void Quit();
    // What Quit does; tests put a recorder here.
    std::function<void()> quitHandler;

    ProgramState& State() { return state_; }
    const SettingsStore& Store() const { return store_; }
    Notifier& Notify() { return notifier_; }

    MainWindow& Main() { return *main_; }
    GraphWindow& Graph() { return *graph_; }
    SetupWindow& Setup() { return *setup_; }
    TableWindow& Table() { return *table_; }

private:
    ProgramState state_;
    SettingsStore store_;
    Notifier& notifier_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<GraphWindow> graph_;  // a top-level window of its own
    SetupWindow* setup_ = nullptr;        // owned by the main window
    TableWindow* table_ = nullptr;        // owned by the main window
};

}  // namespace kelvarox

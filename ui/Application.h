#pragma once
// The running program: its state, its settings store, its boxes, and its four windows,
// created once in the order main, graph, setup, table and afterwards only shown and hidden.
#include <functional>
#include <memory>

#include "core/ProgramState.h"
#include "settings/SettingsStore.h"
#include "ui/Notifier.h"

namespace kelvarox {

class TWod1;
class TWod2;
class TWod3;
class TWod4;

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

    TWod1& MainWindow() { return *wod1_; }
    TWod2& GraphWindow() { return *wod2_; }
    TWod3& SetupWindow() { return *wod3_; }
    TWod4& TableWindow() { return *wod4_; }

private:
    ProgramState state_;
    SettingsStore store_;
    Notifier& notifier_;
    std::unique_ptr<TWod1> wod1_;
    std::unique_ptr<TWod2> wod2_;  // a top-level window of its own
    TWod3* wod3_ = nullptr;        // owned by the main window
    TWod4* wod4_ = nullptr;        // owned by the main window
};

}  // namespace kelvarox

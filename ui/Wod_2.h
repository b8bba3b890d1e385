#pragma once
// The graph window: the series of the loaded block as a step line against orbit and mean
// anomaly, with its levels, orbits, dates, channel and unit, and the read-out of orbit,
// mean anomaly and value under the mouse cursor. A top-level window of its own.
#include <QWidget>
#include <functional>
#include <memory>

#include "core/Actions.h"
#include "core/GraphDrawing.h"
#include "core/GraphReadout.h"

class QLabel;

namespace Ui {
class TWod2;
}

namespace kelvarox {

class KelvaroxApplication;
class Notifier;
class SettingsStore;

class TWod2 : public QWidget {
    Q_OBJECT
public:
    explicit TWod2(KelvaroxApplication& app);
    // The window over a program state, a settings store and a notifier of its own, as the
    // command line renders it.
    TWod2(ProgramState& state, const SettingsStore& store, Notifier& notifier);
    ~TWod2() override;

    Ui::TWod2& Form() { return *ui_; }

    // The Graph action of the main window (Button1Click): the coefficient, Hex# and Orbit
    // HiByte boxes are taken, the series built, the graph drawn and labelled, and the window
    // shown and restored from minimized. A box that does not convert raises its error before
    // anything is drawn; a block without signature does nothing.
    void GraphAction(const MainBoxTexts& boxes);

    // The read-out at the cursor position in pixels relative to Image1.
    void Image1MouseMove(Qt::KeyboardModifiers shift, int x, int y);

    // Called with every step of a drawing as it is executed, in order.
    std::function<void(const DrawStep&)> drawObserver;

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose

private:
    void FormCreate();
    void SetUpFonts();
    void ScaleForm(float scale);
    void Draw(const GraphPicture& picture);
    void SetLabelText(GraphLabel label, const std::string& text);
    QLabel* LabelOf(GraphLabel label) const;

    ProgramState& state_;
    const SettingsStore& store_;
    Notifier& notifier_;
    std::unique_ptr<Ui::TWod2> ui_;
    ReadoutBasis readout_;  // of the graph on display
};

}  // namespace kelvarox

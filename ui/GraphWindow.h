#pragma once
// The graph window: the series of the loaded block as a step line against orbit and mean
// anomaly, with its levels, orbits, dates, channel and unit, and the read-out of orbit,
// mean anomaly and value under the mouse cursor. A top-level window of its own.
#include <QWidget>
#include <functional>
#include <memory>

#include "core/GraphAndTableActions.h"
#include "core/GraphDrawing.h"
#include "core/GraphReadout.h"

class QLabel;

namespace Ui {
class GraphWindow;
}

namespace kelvarox {

class KelvaroxApplication;
class Notifier;
class SettingsStore;

class GraphWindow : public QWidget {
    Q_OBJECT
public:
    explicit GraphWindow(KelvaroxApplication& app);
    // The window over a program state, a settings store and a notifier of its own, as the
    // command line renders it.
    GraphWindow(ProgramState& state, const SettingsStore& store, Notifier& notifier);
    ~GraphWindow() override;

    Ui::GraphWindow& Form() { return *ui_; }

    // The Graph action of the main window (showGraph): the coefficient, Hex# and Orbit
    // HiByte boxes are taken, the series built, the graph drawn and labelled, and the window
    // shown and restored from minimized. A box that does not convert raises its error before
    // anything is drawn; a block without signature does nothing.
    void drawGraph(const ChannelBoxTexts& boxes);

    // The read-out at the cursor position in pixels relative to the image.
    void showReadout(Qt::KeyboardModifiers shift, int x, int y);

    // Called with every step of a drawing as it is executed, in order.
    std::function<void(const DrawStep&)> drawObserver;

protected:
    // Closing the window stores its position and hides it.
    void closeEvent(QCloseEvent* event) override;

private:
    void RestorePosition();
    void SetUpFonts();
    void ScaleForm(float scale);
    void Draw(const GraphPicture& picture);
    void SetLabelText(GraphLabel label, const std::string& text);
    QLabel* LabelOf(GraphLabel label) const;

    ProgramState& state_;
    const SettingsStore& store_;
    Notifier& notifier_;
    std::unique_ptr<Ui::GraphWindow> ui_;
    ReadoutBasis readout_;  // of the graph on display
};

}  // namespace kelvarox

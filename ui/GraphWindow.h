#pragma once
// The graph window: the series of the loaded block as a step line against orbit and mean
// anomaly, with its levels, orbits, dates, channel and unit, and the read-out of orbit,
// mean anomaly and value under the mouse cursor. A top-level window of its own.
#include <QWidget>
#include <memory>

#include "core/ChannelBoxTexts.h"
#include "core/GraphDrawing.h"
#include "core/GraphReadout.h"
#include "render/GraphScene.h"
#include "ui/ProgramState.h"

namespace Ui {
class GraphWindow;
}

namespace kelvarox {

class Notifier;
class SettingsStore;

class GraphWindow : public QWidget {
    Q_OBJECT
public:
    // Created hidden, at its stored position, scaled by the program's display scale.
    GraphWindow(ProgramState& state, const SettingsStore& store, Notifier& notifier);
    ~GraphWindow() override;

    // The Graph action: the coefficient, Hex# and Orbit HiByte boxes are taken, the series
    // built, the graph drawn and labelled, and the window shown and restored from minimized.
    // A box that does not convert raises its error before anything is drawn; a block without
    // signature does nothing.
    void drawGraph(const ChannelBoxTexts& boxes);

    // The client area on display: the canvas with the last drawing and the texts around it.
    const GraphScene& scene() const { return scene_; }

public slots:
    // The window's client area, as the graph command writes it, saved as a PNG or SVG file
    // where the save dialog says, or copied to the clipboard as an image. The window's context
    // menu offers both.
    void saveImage();
    void copyImage();

protected:
    // Closing the window stores its position and hides it, also when the position cannot be
    // stored.
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private slots:
    // The read-out at the cursor position in pixels relative to the image.
    void showReadout(Qt::KeyboardModifiers modifiers, int x, int y);

private:
    void setUpClientArea();
    void draw(const GraphPicture& picture);

    ProgramState& state_;
    const SettingsStore& store_;
    Notifier& notifier_;
    std::unique_ptr<Ui::GraphWindow> ui_;
    GraphScene scene_;
    ReadoutBasis readout_;  // of the graph on display
};

}  // namespace kelvarox

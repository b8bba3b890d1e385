#pragma once
// The graph window's client area as one picture, painted with QtGui alone: the canvas, which
// keeps the drawing steps painted on it until the next drawing clears it, and around and over
// it the texts of the form (channel, unit, levels, orbits, dates and the read-out at the
// cursor), placed as the form places its labels. The graph window shows it and the renderer
// writes it, so the window and the file are the same picture pixel for pixel.
#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <array>
#include <string>
#include <vector>

#include "core/GraphDrawing.h"
#include "core/PictureFormat.h"

namespace kelvarox {

// The graph window's caption, also the title of its vector pictures.
inline constexpr const char* kGraphWindowTitle = " Kelvarox - Tarvane  /  Qarn";

// The texts of the client area: first those a drawing sets, in the order of GraphLabel, then
// the read-out at the cursor with its captions.
enum class GraphText {
    ChannelName,
    Unit,
    Level0,
    Level1,
    Level2,
    Level3,
    Level4,
    StartOrbit,
    EndOrbit,
    StartDate,
    EndDate,
    OrbitMACaption,
    OrbitMA,
    ValueCaption,
    Value
};
inline constexpr size_t kGraphTextCount = 15;
constexpr GraphText TextOf(GraphLabel label) { return static_cast<GraphText>(label); }

class GraphScene {
public:
    // The form at the display scale (a scale that is no positive number counts as 1): 719 × 402
    // with the canvas at (8, 2), 706 × 368, each coordinate scaled as the drawing's are. The
    // canvas is transparent and the texts are the form's own ("Label1" and so on) until the
    // first drawing.
    explicit GraphScene(float displayScale);

    QSize Size() const { return size_; }
    QRect CanvasPlace() const { return canvasPlace_; }
    const QImage& Canvas() const { return canvas_; }

    // Paints the canvas steps of a drawing on the canvas and takes the texts of its label
    // steps; true when the drawing ends by showing the window.
    bool Draw(const std::vector<DrawStep>& steps);
    void SetText(GraphText which, std::string text);
    const std::string& Text(GraphText which) const { return texts_[static_cast<size_t>(which)]; }

    // Where a text lies, in which font: a label whose size follows its text takes its text's
    // size at its place; the others keep their place, widened by a text that does not fit
    // unless their text wraps.
    QRect Place(GraphText which) const;
    QFont Font(GraphText which) const;

    // The whole client area with its top left at the painter's origin: the form's ground, the
    // canvas (on a vector device its last drawing's steps, which stay lines and texts), and the
    // texts over it, each cut off at its place.
    void Paint(QPainter& painter) const;
    // The client area as an image.
    QImage Image() const;

private:
    float scale_;
    QSize size_;
    QRect canvasPlace_;
    QImage canvas_;
    std::vector<DrawStep> steps_;  // of the last drawing
    std::array<std::string, kGraphTextCount> texts_;
};

// The client area as a picture file's bytes; empty when the format cannot be written.
QByteArray EncodeGraphPicture(const GraphScene& scene, PictureFormat format);

}  // namespace kelvarox

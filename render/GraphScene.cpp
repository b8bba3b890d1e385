#include "render/GraphScene.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <cmath>

#include "core/GraphGeometry.h"
#include "render/FormText.h"
#include "render/GraphPainter.h"
#include "render/PictureFile.h"
#include "render/TextCodec.h"

namespace kelvarox {

namespace {

static_assert(TextOf(GraphLabel::ChannelName) == GraphText::ChannelName);
static_assert(TextOf(GraphLabel::EndDate) == GraphText::EndDate);

// The form's ground and its texts: the grey and the black the window has always shown.
const QColor kGround(239, 239, 239);
const QColor kTextColour(Qt::black);

constexpr QSize kFormSize(719, 402);
constexpr QRect kCanvasPlace(8, 2, 706, 368);

enum class Sizing {
    Fixed,        // keeps its place, widened by a text that does not fit
    FollowsText,  // takes its text's size at its place
    Wraps,        // keeps its place; its text wraps, cut off below
};

struct FormLabel {
    GraphText text;
    QRect place;  // in design units
    int pixelSize;
    bool bold;
    Qt::Alignment alignment;
    Sizing sizing;
    const char* initial;
};

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignTop;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignTop;

// The labels of the form, in the order they are painted, one over the other.
constexpr std::array<FormLabel, kGraphTextCount> kFormLabels = {{
    {GraphText::ChannelName, QRect(81, 5, 324, 16), 15, true, kCentre, Sizing::Fixed, "Label7"},
    {GraphText::OrbitMACaption, QRect(424, 8, 52, 15), 12, true, kLeft, Sizing::FollowsText, "Orb/MA:"},
    {GraphText::OrbitMA, QRect(488, 8, 73, 16), 12, true, kLeft, Sizing::Fixed, ""},
    {GraphText::ValueCaption, QRect(584, 8, 40, 15), 12, true, kLeft, Sizing::FollowsText, "Value:"},
    {GraphText::Value, QRect(632, 8, 49, 17), 12, true, kLeft, Sizing::Fixed, ""},
    {GraphText::Level4, QRect(12, 30, 32, 13), 11, false, kRight, Sizing::Fixed, "Label1"},
    {GraphText::Level3, QRect(12, 100, 32, 13), 11, false, kRight, Sizing::Fixed, "Label8"},
    {GraphText::Level2, QRect(12, 168, 32, 13), 11, false, kRight, Sizing::Fixed, "Label2"},
    {GraphText::Level1, QRect(12, 238, 32, 13), 11, false, kRight, Sizing::Fixed, "Label9"},
    {GraphText::Level0, QRect(13, 309, 32, 13), 11, false, kRight, Sizing::Fixed, "Label3"},
    {GraphText::Unit, QRect(4, 131, 52, 28), 12, true, kCentre, Sizing::Wraps, "Label13"},
    {GraphText::StartOrbit, QRect(44, 347, 50, 15), 12, true, kLeft, Sizing::FollowsText, "Label5"},
    {GraphText::EndOrbit, QRect(616, 347, 50, 15), 11, true, kLeft, Sizing::FollowsText, "Label18"},
    {GraphText::StartDate, QRect(88, 376, 50, 16), 13, true, kLeft, Sizing::FollowsText, "Label4"},
    {GraphText::EndDate, QRect(456, 376, 50, 16), 13, true, kLeft, Sizing::FollowsText, "Label6"},
}};

const FormLabel& LabelOf(GraphText which) {
    for (const FormLabel& label : kFormLabels)
        if (label.text == which) return label;
    return kFormLabels.front();
}

// The text flags of a label: its alignment, tabs expanded, left to right, and wrapped where
// it wraps.
int TextFlags(const FormLabel& label) {
    const int wrap = label.sizing == Sizing::Wraps ? Qt::TextWordWrap : 0;
    return static_cast<int>(label.alignment) | Qt::TextExpandTabs | wrap;
}

// A rectangle of the form at the display scale, each coordinate scaled as the drawing's are.
QRect Scaled(const QRect& designUnits, float scale) {
    return QRect(ScaleCoordinate(designUnits.x(), scale), ScaleCoordinate(designUnits.y(), scale),
                 ScaleCoordinate(designUnits.width(), scale), ScaleCoordinate(designUnits.height(), scale));
}

// The size a text takes in one line (or in its lines), as a label computes it.
QSize TextSize(const QFont& font, const FormLabel& label, const QString& text) {
    const int flags = TextFlags(label) & ~(Qt::AlignVCenter | Qt::AlignHCenter);
    return QFontMetrics(font).boundingRect(QRect(0, 0, 2000, 2000), flags, text).size();
}

}  // namespace

GraphScene::GraphScene(float displayScale)
    : scale_(std::isfinite(displayScale) && displayScale > 0.0f ? displayScale : 1.0f),
      size_(ScaleCoordinate(kFormSize.width(), scale_), ScaleCoordinate(kFormSize.height(), scale_)),
      canvasPlace_(Scaled(kCanvasPlace, scale_)), canvas_(canvasPlace_.size(), QImage::Format_ARGB32_Premultiplied) {
    canvas_.fill(Qt::transparent);
    for (const FormLabel& label : kFormLabels) texts_[static_cast<size_t>(label.text)] = label.initial;
}

bool GraphScene::Draw(const std::vector<DrawStep>& steps) {
    bool shown = false;
    {
        QPainter painter(&canvas_);
        GraphStepPainter canvas(painter);
        for (const DrawStep& step : steps) {
            if (canvas.Paint(step)) continue;
            if (step.kind == DrawStep::Kind::SetLabel)
                SetText(TextOf(step.label), step.text);
            else
                shown = true;
        }
    }
    steps_ = steps;
    return shown;
}

void GraphScene::SetText(GraphText which, std::string text) { texts_[static_cast<size_t>(which)] = std::move(text); }

QFont GraphScene::Font(GraphText which) const {
    const FormLabel& label = LabelOf(which);
    return FormFont(QFont(), std::max(1, ScaleCoordinate(label.pixelSize, scale_)), label.bold);
}

QRect GraphScene::Place(GraphText which) const {
    const FormLabel& label = LabelOf(which);
    const QRect place = Scaled(label.place, scale_);
    if (label.sizing == Sizing::Wraps) return place;
    const QSize needed = TextSize(Font(which), label, ToQt(Text(which)));
    if (label.sizing == Sizing::FollowsText) return QRect(place.topLeft(), needed);
    return WidenToFit(place, needed.width(), label.alignment);
}

void GraphScene::Paint(QPainter& painter) const {
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), size_), kGround);
    painter.translate(canvasPlace_.topLeft());
    const QPaintEngine::Type device = painter.paintEngine()->type();
    if (device == QPaintEngine::SVG || device == QPaintEngine::Pdf) {
        GraphStepPainter canvas(painter);
        for (const DrawStep& step : steps_) canvas.Paint(step);
    } else {
        painter.drawImage(0, 0, canvas_);
    }
    painter.restore();
    for (const FormLabel& label : kFormLabels) {
        const QString text = ToQt(Text(label.text));
        if (text.isEmpty()) continue;
        const QRect place = Place(label.text);
        painter.save();
        painter.setFont(Font(label.text));
        painter.setPen(kTextColour);
        painter.drawText(place, TextFlags(label) | Qt::TextForceLeftToRight, text);  // cut off at its place
        painter.restore();
    }
}

QImage GraphScene::Image() const {
    QImage image(size_, QImage::Format_RGB32);
    QPainter painter(&image);
    Paint(painter);
    return image;
}

QByteArray EncodeGraphPicture(const GraphScene& scene, PictureFormat format) {
    return EncodePicture(scene.Size(), format, QString::fromLatin1(kGraphWindowTitle),
                         [&](QPainter& painter) { scene.Paint(painter); });
}

}  // namespace kelvarox

#include "core/GraphDrawing.h"

#include "core/FixedText.h"

namespace kelvarox {

using namespace graph;

const char* LabelRole(GraphLabel label) {
    switch (label) {
        case GraphLabel::ChannelName:
            return "ChannelName";
        case GraphLabel::Unit:
            return "Unit";
        case GraphLabel::Level0:
            return "Level0";
        case GraphLabel::Level1:
            return "Level1";
        case GraphLabel::Level2:
            return "Level2";
        case GraphLabel::Level3:
            return "Level3";
        case GraphLabel::Level4:
            return "Level4";
        case GraphLabel::StartOrbit:
            return "StartOrbit";
        case GraphLabel::EndOrbit:
            return "EndOrbit";
        case GraphLabel::StartDate:
            return "StartDate";
        case GraphLabel::EndDate:
            return "EndDate";
    }
    return "";
}

namespace {

std::string PointText(GraphPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

// Collects the steps of one drawing, scaling every design point as it goes.
class StepList {
public:
    explicit StepList(float scale) : scale_(scale) {}
    void Clear(GraphPoint a, GraphPoint b) {
        DrawStep& d = Add(DrawStep::Kind::Clear);
        d.at = Scaled(a);
        d.end = Scaled(b);
    }
    void Pen(Rgb color, int width) {
        Add(DrawStep::Kind::PenColor).color = color;
        Width(width);
    }
    void Width(int width) { Add(DrawStep::Kind::PenWidth).width = width; }
    void Line(GraphPoint from, GraphPoint to) {
        MoveTo(from);
        LineTo(to);
    }
    void MoveTo(GraphPoint p) { Add(DrawStep::Kind::MoveTo).at = Scaled(p); }
    void LineTo(GraphPoint p) { Add(DrawStep::Kind::LineTo).at = Scaled(p); }
    void Text(GraphPoint p, std::string text) {
        DrawStep& d = Add(DrawStep::Kind::TextAt);
        d.at = Scaled(p);
        d.text = std::move(text);
    }
    void Label(GraphLabel label, std::string text) {
        DrawStep& d = Add(DrawStep::Kind::SetLabel);
        d.label = label;
        d.text = std::move(text);
    }
    void Show() { Add(DrawStep::Kind::ShowWindow); }
    std::vector<DrawStep> Take() { return std::move(steps_); }

private:
    DrawStep& Add(DrawStep::Kind kind) {
        DrawStep& d = steps_.emplace_back();
        d.kind = kind;
        return d;
    }
    GraphPoint Scaled(GraphPoint p) const { return ScalePoint(p, scale_); }
    float scale_;
    std::vector<DrawStep> steps_;
};

}  // namespace

std::string DescribeStep(const DrawStep& d) {
    switch (d.kind) {
        case DrawStep::Kind::Clear:
            return "Clear " + PointText(d.at) + " " + PointText(d.end);
        case DrawStep::Kind::PenColor:
            return "PenColor " + std::to_string(d.color.r) + "," + std::to_string(d.color.g) + "," +
                   std::to_string(d.color.b);
        case DrawStep::Kind::PenWidth:
            return "PenWidth " + std::to_string(d.width);
        case DrawStep::Kind::MoveTo:
            return "MoveTo " + PointText(d.at);
        case DrawStep::Kind::LineTo:
            return "LineTo " + PointText(d.at);
        case DrawStep::Kind::TextAt:
            return "TextAt " + PointText(d.at) + " " + d.text;
        case DrawStep::Kind::SetLabel:
            return std::string("SetLabel ") + LabelRole(d.label) + " " + d.text;
        case DrawStep::Kind::ShowWindow:
            return "ShowWindow";
    }
    return "";
}

GraphPicture ComposeGraph(const GraphContent& c) {
    const BlockHeader& h = c.header;
    StepList s(c.displayScale);

    s.Clear({0, 0}, {kImageWidth, kImageHeight});
    // The axes: the orbit axis runs on past the image's right edge.
    s.Pen(kGrey, 2);
    s.Line({kOrbitAxisLeft, kPlotBottom}, {kOrbitAxisRight, kPlotBottom});
    s.Line({kValueAxisX, kMarkBottom}, {kValueAxisX, kMarkTop});
    s.Width(1);

    s.Label(GraphLabel::Unit, c.unit);

    s.Width(2);
    for (const int32_t y : kLevelTickY) s.Line({kLevelTickLeft, y}, {kValueAxisX, y});
    s.Width(1);

    const auto levels = LevelTexts(c.axis);
    s.Label(GraphLabel::Level4, levels[4]);
    s.Label(GraphLabel::Level0, levels[0]);
    s.Label(GraphLabel::Level1, levels[1]);
    s.Label(GraphLabel::Level2, levels[2]);
    s.Label(GraphLabel::Level3, levels[3]);

    s.Label(GraphLabel::ChannelName, c.name);
    s.Label(GraphLabel::StartOrbit, "Orbit# " + std::to_string(h.startOrbit));
    s.Label(GraphLabel::EndOrbit, "Orbit# " + std::to_string(h.endOrbit));
    s.Label(GraphLabel::StartDate, "Start Date: " + h.startDateText);
    s.Label(GraphLabel::EndDate, "End Date: " + h.endDateText);

    for (AxisMark& mark : OrbitAxisMarks(h)) {
        s.Line({mark.x, kMarkBottom}, {mark.x, kMarkTop});
        s.Text(mark.labelAt, std::move(mark.label));
    }

    const std::vector<GraphPoint> trace = TracePoints(c.series, c.axis);
    s.Pen(kBlack, 1);
    for (size_t i = 0; i < trace.size(); ++i) {
        if (i == 0)
            s.MoveTo(trace[i]);
        else
            s.LineTo(trace[i]);
    }

    s.Show();

    GraphPicture picture;
    picture.steps = s.Take();
    picture.readout.header = h;
    picture.readout.lastIndex = LastPlottedIndex(h);
    picture.readout.axis = c.axis;
    picture.readout.displayScale = c.displayScale;
    return picture;
}

}  // namespace kelvarox

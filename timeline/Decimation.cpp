#include "timeline/Decimation.h"

#include <algorithm>
#include <cmath>

namespace kelvarox::timeline {

namespace {

class ColumnWriter {
public:
    ColumnWriter(const TimeRange& view, int width) : left_(view.left), scale_(width / view.Span()), width_(width) {}

    int32_t ColumnOf(OrbitTime t) const {
        const double x = std::floor((t - left_) * scale_);
        if (!(x >= 0)) return -1;
        if (x >= width_) return width_;
        return static_cast<int32_t>(x);
    }

    // A sample that starts a column, or adds to the open one. `joins`: its step comes from the
    // sample before it, which the open column holds.
    void Add(int32_t x, float value, bool joins) {
        if (joins && !columns_.empty()) Reach(value);
        if (!columns_.empty() && columns_.back().x == x) {
            Reach(value);
            return;
        }
        columns_.push_back(TraceColumn{x, value, value, value, joins && !columns_.empty()});
    }

    // The open column reaches `value` too.
    void Reach(float value) {
        TraceColumn& c = columns_.back();
        c.low = std::min(c.low, value);
        c.high = std::max(c.high, value);
    }

    std::vector<TraceColumn> Take() { return std::move(columns_); }

private:
    double left_;
    double scale_;
    int32_t width_;
    std::vector<TraceColumn> columns_;
};

}  // namespace

std::vector<TraceColumn> DecimateTrace(const ChannelTrace& trace, const TimeRange& view, int width) {
    if (width <= 0 || !(view.Span() > 0)) return {};
    ColumnWriter out(view, width);
    auto [first, last] = trace.BlocksWithin(view.left, view.right);
    // The blocks next to the view, for the lines that enter it from their samples.
    if (first > 0) --first;
    last = std::min(last + 1, trace.BlockCount());
    for (size_t b = first; b < last; ++b) {
        const TraceBlock& block = trace.Block(b);
        const bool joins = block.joinsPrevious && b > first;
        const int32_t x0 = out.ColumnOf(block.start);
        if (x0 == out.ColumnOf(block.end)) {
            out.Add(x0, trace.Value(block.first), joins);
            out.Reach(block.summary.min);
            out.Reach(block.summary.max);
            continue;
        }
        for (size_t i = block.first; i < block.first + block.count; ++i) {
            out.Add(out.ColumnOf(trace.Time(i)), trace.Value(i), i > block.first || joins);
        }
    }
    return out.Take();
}

}  // namespace kelvarox::timeline

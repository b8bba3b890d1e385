#include "timeline/LimitPicture.h"

#include <algorithm>
#include <cmath>

#include "core/CsvText.h"
#include "timeline/TimeLinePicture.h"

namespace kelvarox::timeline {

namespace {

// A stretch of the view, in trace columns, where one entry's limits hold.
struct LimitSpan {
    int32_t x0 = 0, x1 = 0;
    const ChannelLimits* limits = nullptr;
};

std::vector<LimitSpan> SpansOf(const ChannelTrace& trace, const SatelliteDefinition& satellite, const TimeRange& view,
                               int32_t width) {
    std::vector<LimitSpan> spans;
    const auto [first, last] = trace.BlocksWithin(view.left, view.right);
    const ChannelEntry* current = nullptr;
    for (size_t b = first; b < last; ++b) {
        const TraceBlock& block = trace.Block(b);
        const ChannelEntry* entry = satellite.EntryOf(trace.Channel(), block.startAmDay);
        const auto x0 = static_cast<int32_t>(std::floor(std::max(-1.0, PixelOf(view, block.start, width))));
        const auto x1 = static_cast<int32_t>(std::ceil(std::min(width + 1.0, PixelOf(view, block.end, width))));
        if (!entry || !entry->limits) {
            current = nullptr;
            continue;
        }
        if (entry == current && !spans.empty()) {
            spans.back().x1 = std::max(spans.back().x1, x1);
            continue;
        }
        spans.push_back({x0, x1, &*entry->limits});
        current = entry;
    }
    return spans;
}

std::string ValueText(double value) {
    std::string text;
    AppendShortestFloat(text, static_cast<float>(value));
    return text;
}

}  // namespace

LimitPicture ComposeLimits(const ChannelTrace& trace, const SatelliteDefinition& satellite, const TimeRange& view,
                           const PlotFrame& frame, const std::vector<TraceColumn>& columns) {
    LimitPicture picture;
    const auto row = [&](double value) { return frame.top + RowOf(value, frame.range, frame.traceHeight); };
    const int32_t bottom = frame.top + frame.traceHeight;
    for (const LimitSpan& span : SpansOf(trace, satellite, view, frame.traceWidth)) {
        const ChannelLimits& l = *span.limits;
        const int32_t x0 = frame.left + std::max(0, span.x0), x1 = frame.left + std::min(frame.traceWidth, span.x1);
        const std::pair<const std::optional<double>*, LimitLevel> limits[] = {{&l.redLow, LimitLevel::Red},
                                                                              {&l.yellowLow, LimitLevel::Yellow},
                                                                              {&l.yellowHigh, LimitLevel::Yellow},
                                                                              {&l.redHigh, LimitLevel::Red}};
        for (const auto& [value, level] : limits) {
            if (!*value) continue;
            const int32_t y = row(**value);
            const bool beyond = y < frame.top || y > bottom;
            picture.lines.push_back({x0, x1, std::clamp(y, frame.top, bottom), level, beyond, ValueText(**value)});
        }
        // The parts of the columns beyond each limit, and the levels that join them: yellow
        // first, red over it.
        for (size_t k = 0; k < columns.size(); ++k) {
            const TraceColumn& c = columns[k];
            if (c.x < span.x0 || c.x > span.x1 || c.x < 0 || c.x >= frame.traceWidth) continue;
            const int32_t x = frame.left + c.x;
            const int32_t before = k > 0 && c.joinsPrevious ? frame.left + std::max(0, columns[k - 1].x) : x;
            for (const LimitLevel level : {LimitLevel::Yellow, LimitLevel::Red}) {
                const auto& high = level == LimitLevel::Red ? l.redHigh : l.yellowHigh;
                const auto& low = level == LimitLevel::Red ? l.redLow : l.yellowLow;
                auto& marks = picture.marks;
                if (high && c.high >= *high)
                    marks.push_back({x, x, row(c.high), row(std::max<double>(c.low, *high)), level});
                if (low && c.low <= *low)
                    marks.push_back({x, x, row(std::min<double>(c.high, *low)), row(c.low), level});
                const bool beyond = (high && c.first >= *high) || (low && c.first <= *low);
                if (before < x && beyond) marks.push_back({before, x, row(c.first), row(c.first), level});
            }
        }
    }
    return picture;
}

}  // namespace kelvarox::timeline

#include "timeline/Readout.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "archive/SeriesCsv.h"
#include "core/CsvText.h"
#include "timeline/TimeAxis.h"
#include "timeline/TimeLinePicture.h"

namespace kelvarox::timeline {

std::string CursorText(OrbitTime time, const DateLine& dates) {
    const OrbitAndMA at = OrbitAndMAOf(time);
    std::string text = "Orbit " + std::to_string(at.orbit) + "  MA " + std::to_string(at.ma);
    if (const auto day = dates.AmDayAt(time)) text += "  " + AmDayText(*day);
    return text;
}

std::string SampleText(const ChannelTrace& trace, const SampleAt& sample) {
    std::string text;
    AppendShortestFloat(text, sample.value);
    const std::string& file = trace.Block(sample.block).file;
    return text + " at " + OrbitMAText(sample.time) + " in " + file.substr(file.rfind('/') + 1);
}

std::string SamplesCsv(const ChannelTrace& trace, const TimeRange& view) {
    std::string text = archive::kSeriesCsvHeader;
    size_t fieldOf = SIZE_MAX;
    std::string fileField;
    trace.ForEachSampleWithin(view.left, view.right, [&](const SampleAt& s) {
        if (s.block != fieldOf) {
            fileField = CsvField(trace.Block(s.block).file);
            fieldOf = s.block;
        }
        const OrbitAndMA at = OrbitAndMAOf(s.time);
        archive::AppendSeriesCsvRow(text, archive::SeriesSample{at.orbit, at.ma, s.raw, s.value}, fileField);
    });
    return text;
}

std::string OverlaidSamplesCsv(const std::vector<const ChannelTrace*>& traces, const TimeRange& view) {
    std::string text = "orbit,ma";
    std::vector<std::vector<std::pair<OrbitTime, float>>> columns(traces.size());
    for (size_t c = 0; c < traces.size(); ++c) {
        text += ',' + CsvField(PlotTitle(*traces[c]));
        traces[c]->ForEachSampleWithin(view.left, view.right,
                                       [&](const SampleAt& s) { columns[c].emplace_back(s.time, s.value); });
        // Blocks may overlap: their samples are put in time order, those of one time kept in theirs.
        std::stable_sort(columns[c].begin(), columns[c].end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    text += "\r\n";
    std::vector<size_t> next(traces.size(), 0);
    while (true) {
        // The row of the earliest sample left: one sample of each channel at its time.
        std::optional<OrbitTime> time;
        for (size_t c = 0; c < columns.size(); ++c)
            if (next[c] < columns[c].size() && (!time || columns[c][next[c]].first < *time))
                time = columns[c][next[c]].first;
        if (!time) break;
        const OrbitAndMA at = OrbitAndMAOf(*time);
        text += std::to_string(at.orbit) + ',' + std::to_string(at.ma);
        for (size_t c = 0; c < columns.size(); ++c) {
            text += ',';
            if (next[c] < columns[c].size() && columns[c][next[c]].first == *time)
                AppendShortestFloat(text, columns[c][next[c]++].second);
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace kelvarox::timeline

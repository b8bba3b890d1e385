#include "timeline/Readout.h"

#include "archive/SeriesCsv.h"
#include "core/CsvText.h"
#include "timeline/TimeAxis.h"

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

}  // namespace kelvarox::timeline

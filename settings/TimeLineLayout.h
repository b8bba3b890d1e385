#pragma once
// The time line window as the user left it, or as a layout file holds it: the plots with their
// channels, order and heights, the view, the axis and the window's place. A layout file is a
// small JSON text a user can hand on:
//
//   {
//     "format": "Kelvarox time line layout",
//     "version": 1,
//     "plots": [{"channels": ["#08C", "#08D"], "height": 240}, {"channels": ["#102"], "height": 180}],
//     "view": {"from": 12040.5, "to": 12100},
//     "axis": "Orbit",
//     "window": {"left": 60, "top": 60, "width": 1180, "height": 680}
//   }
//
// "view" is "all" to show every sample; "height", "view", "axis" and "window" may be left out.
// The channels of a plot are kept whether the archive holds them or not.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarox {

struct TimeLineLayout {
    static constexpr int kVersion = 1;

    struct Plot {
        std::vector<int32_t> channels;  // the first is the plot's own, the others drawn over it
        int32_t height = 0;             // in pixels; 0: an equal share
        bool operator==(const Plot&) const = default;
    };
    // Orbits from `from` to `to`, or nothing: every sample.
    struct View {
        double from = 0;
        double to = 0;
        bool operator==(const View&) const = default;
    };
    struct Frame {
        int32_t left = 0;
        int32_t top = 0;
        int32_t width = 0;
        int32_t height = 0;
        bool operator==(const Frame&) const = default;
    };

    std::vector<Plot> plots;  // top to bottom
    std::optional<View> view;
    std::string axis = "Orbit";  // "Orbit" or "Calendar"
    std::optional<Frame> window;
    bool operator==(const TimeLineLayout&) const = default;
};

// The layout as JSON text, indented for a file or on one line for the settings.
enum class LayoutTextStyle { File, Line };
std::string LayoutText(const TimeLineLayout& layout, LayoutTextStyle style = LayoutTextStyle::File);

// The layout of a text as LayoutText writes it. Raises KelvaroxError saying what is wrong with
// it: no JSON, no layout, of a newer version, or a value of the wrong kind.
TimeLineLayout ParseLayout(std::string_view text);

// Reads the layout file at `path`; its errors name the file.
TimeLineLayout ReadLayoutFile(const std::string& path);
// Writes the layout file at `path` whole or not at all.
void WriteLayoutFile(const std::string& path, const TimeLineLayout& layout);

}  // namespace kelvarox

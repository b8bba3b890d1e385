#pragma once
// The views the user chose on the time line, to go Back and Forward through as a browser goes
// through pages: every zoom, pan, typed range and Show All is a step; the pans of one drag are
// one; a step after Back drops the steps ahead. A view that only moves on with new samples
// takes the place of the present one and is no step.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "timeline/TimeRange.h"

namespace kelvarox::timeline {

struct HistoryView {
    TimeRange view;
    bool all = false;  // Show All: every sample, following them as they come
    bool operator==(const HistoryView&) const = default;
};

class ViewHistory {
public:
    // The oldest steps go beyond this many.
    static constexpr size_t kMostSteps = 500;

    explicit ViewHistory(HistoryView first = {{0, 1}, true}) : views_{first} {}

    // A view the user chose. `drag` names the drag it belongs to (0: none); a step of the same
    // drag as the one before replaces it. A view equal to the present one is no new step, nor is
    // Show All after Show All.
    void Step(const HistoryView& view, uint64_t drag = 0);
    // The present view moved on with new samples.
    void Follow(const TimeRange& view);

    // The view to show, and it becomes the present one; nothing at either end.
    std::optional<HistoryView> Back();
    std::optional<HistoryView> Forward();
    bool CanGoBack() const { return at_ > 0; }
    bool CanGoForward() const { return at_ + 1 < views_.size(); }
    const HistoryView& Present() const { return views_[at_]; }

private:
    std::vector<HistoryView> views_;
    size_t at_ = 0;
    uint64_t drag_ = 0;  // of the present step
};

}  // namespace kelvarox::timeline

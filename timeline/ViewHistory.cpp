#include "timeline/ViewHistory.h"

namespace kelvarox::timeline {

void ViewHistory::Step(const HistoryView& view, uint64_t drag) {
    if (drag != 0 && drag == drag_) {
        views_.resize(at_ + 1);
        views_[at_] = view;
        return;
    }
    drag_ = 0;
    // Show All twice is one step, whatever the samples spanned each time.
    if (view == views_[at_] || (view.all && views_[at_].all)) {
        views_[at_] = view;
        return;
    }
    views_.resize(at_ + 1);
    views_.push_back(view);
    if (views_.size() > kMostSteps) views_.erase(views_.begin());
    at_ = views_.size() - 1;
    drag_ = drag;
}

void ViewHistory::Follow(const TimeRange& view) { views_[at_].view = view; }

std::optional<HistoryView> ViewHistory::Back() {
    if (!CanGoBack()) return std::nullopt;
    drag_ = 0;
    return views_[--at_];
}

std::optional<HistoryView> ViewHistory::Forward() {
    if (!CanGoForward()) return std::nullopt;
    drag_ = 0;
    return views_[++at_];
}

}  // namespace kelvarox::timeline

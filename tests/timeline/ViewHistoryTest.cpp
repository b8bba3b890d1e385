#include "timeline/ViewHistory.h"

#include <gtest/gtest.h>

namespace kelvarox::timeline {
namespace {

TEST(ViewHistory, GoesBackAndForwardThroughTheStepsTheUserChose) {
    const HistoryView all{{0, 100}, true}, a{{10, 20}}, b{{12, 14}}, c{{30, 40}};
    enum Op { Step, Drag1, Drag2, Back, Forward, Follow };
    struct Case {
        Op op;
        HistoryView view;  // of the step; the view expected after Back and Forward
        bool moved;        // Back and Forward: whether there was a step to go to
        bool canBack, canForward;
    };
    const std::vector<Case> cases = {
        {Back, all, false, false, false},
        {Step, a, true, true, false},
        {Step, a, true, true, false},  // the same view again: no step
        {Step, b, true, true, false},
        {Back, a, true, true, true},
        {Back, all, true, false, true},
        {Forward, a, true, true, true},
        {Step, c, true, true, false},  // a step after Back drops b
        {Forward, c, false, true, false},
        {Back, a, true, true, true},
        {Forward, c, true, true, false},
        {Drag1, {{31, 41}}, true, true, false},  // one drag, one step
        {Drag1, {{32, 42}}, true, true, false},
        {Drag2, {{33, 43}}, true, true, false},  // the next drag: another
        {Back, {{32, 42}}, true, true, true},
        {Back, c, true, true, true},
        {Step, {{0, 90}, true}, true, true, false},  // Show All is a step
        {Step, {{0, 95}, true}, true, true, false},  // and again is none
        {Follow, {{0, 99}, true}, true, true, false},
        {Back, c, true, true, true},
        {Forward, {{0, 99}, true}, true, true, false},
    };
    ViewHistory history(all);
    int n = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(n++);
        if (k.op == Step) history.Step(k.view);
        if (k.op == Drag1 || k.op == Drag2) history.Step(k.view, k.op == Drag1 ? 1 : 2);
        if (k.op == Follow) history.Follow(k.view.view);
        if (k.op == Back || k.op == Forward) {
            const auto to = k.op == Back ? history.Back() : history.Forward();
            EXPECT_EQ(to.has_value(), k.moved);
            if (to) {
                EXPECT_EQ(*to, k.view);
            }
        }
        EXPECT_EQ(history.Present(), k.view);
        EXPECT_EQ(history.CanGoBack(), k.canBack);
        EXPECT_EQ(history.CanGoForward(), k.canForward);
    }
}

TEST(ViewHistory, KeepsTheNewestSteps) {
    ViewHistory history;
    for (int i = 1; i <= 600; ++i) history.Step({{0, double(i)}});
    int back = 0;
    while (history.Back()) ++back;
    EXPECT_EQ(back, static_cast<int>(ViewHistory::kMostSteps) - 1);
    EXPECT_EQ(history.Present().view.right, 600.0 - ViewHistory::kMostSteps + 1);
}

}  // namespace
}  // namespace kelvarox::timeline

// The time line's layouts: their text and back, the errors of texts that are no layout, and
// the layout kept in the program's own settings key.
#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "core/Errors.h"
#include "settings/TimeLineLayout.h"
#include "settings/TimeLineSettings.h"

using namespace kelvarox;

namespace {

TimeLineLayout Sample() {
    TimeLineLayout layout;
    layout.plots = {{{0x08C, 0x08D, 0xFFF}, 240}, {{0x102}, 0}};
    layout.view = TimeLineLayout::View{12040.5, 12100.25};
    layout.axis = "Calendar";
    layout.window = TimeLineLayout::Frame{-10, 60, 1180, 680};
    return layout;
}

}  // namespace

TEST(TimeLineLayout, TextAndBackInBothStyles) {
    for (const TimeLineLayout& layout : {Sample(), TimeLineLayout{}}) {
        for (const LayoutTextStyle style : {LayoutTextStyle::File, LayoutTextStyle::Line}) {
            const std::string text = LayoutText(layout, style);
            EXPECT_EQ(ParseLayout(text), layout) << text;
            EXPECT_EQ(LayoutText(ParseLayout(text), style), text);
            EXPECT_EQ(text.find('\n') == std::string::npos || text.find('\n') + 1 == text.size(),
                      style == LayoutTextStyle::Line);
        }
    }
    // What a colleague writes by hand: no view, axis or window, and the channels in lower case.
    const TimeLineLayout bare =
        ParseLayout(R"({"format": "Kelvarox time line layout", "version": 1, "plots": [{"channels": ["#8c"]}]})");
    EXPECT_EQ(bare.plots, (std::vector<TimeLineLayout::Plot>{{{0x08C}, 0}}));
    EXPECT_FALSE(bare.view);
    EXPECT_EQ(bare.axis, "Orbit");
}

TEST(TimeLineLayout, TextsThatAreNoLayoutSayWhy) {
    const std::string head = R"({"format": "Kelvarox time line layout", "version": 1, )";
    const std::pair<std::string, std::string> cases[] = {
        {"plots", "The layout is no JSON text: "},
        {R"({"format": "other", "version": 1, "plots": []})",
         "The layout is no time line layout: its \"format\" is not \"Kelvarox time line layout\""},
        {R"({"format": "Kelvarox time line layout", "version": 2, "plots": []})",
         "The layout is of version 2, newer than this Kelvarox knows (1)"},
        {R"({"format": "Kelvarox time line layout", "plots": []})", "The layout has no version"},
        {head + "\"plots\": 3}", "The layout has no list of \"plots\""},
        {head + R"("plots": [{"channels": []}]})", "The layout has a plot without \"channels\""},
        {head + R"("plots": [{"channels": ["8C"]}]})", "The layout names no channel with \"8C\""},
        {head + R"("plots": [{"channels": ["#8C"], "height": 1.5}]})",
         "The layout has a plot \"height\" that is no whole number"},
        {head + R"("plots": [], "view": {"from": 5, "to": 5}})",
         "The layout has a view whose \"from\" is not before its \"to\""},
        {head + R"("plots": [], "view": "some"})", "The layout has a \"view\" that is neither \"all\" nor from and to"},
        {head + R"("plots": [], "axis": "Time"})",
         "The layout has an \"axis\" that is neither \"Orbit\" nor \"Calendar\""},
        {head + R"("plots": [], "window": {"left": 1, "top": 2}})", "The layout has a window without a size"},
    };
    for (const auto& [text, message] : cases) {
        try {
            ParseLayout(text);
            ADD_FAILURE() << text;
        } catch (const KelvaroxError& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, message.size()), message) << text;
        }
    }
}

TEST(TimeLineLayout, KeptInTheProgramsOwnKeyWithTheFilesUsedLast) {
    kelvarox::testing::TempDir dir;
    const SettingsStore store((dir / "user.reg").string());
    EXPECT_FALSE(ReadKeptLayout(store));
    SaveKeptLayout(store, Sample());
    EXPECT_EQ(ReadKeptLayout(store), Sample());
    // One key of the program's own, the layout's text on one line.
    const auto values = kelvarox::testing::KeyValues(store, "Software\\Qarn Programs\\Kelvarox\\Time Line");
    ASSERT_TRUE(values);
    EXPECT_EQ(values->size(), 1u);
    EXPECT_EQ(kelvarox::testing::ParsedFile(store).sections.size(), 1u);

    for (const char* path : {"/a.json", "/b.json", "/a.json", "/c.json", "/d.json", "/e.json", "/f.json"})
        AddRecentLayout(store, path);
    EXPECT_EQ(ReadRecentLayouts(store),
              (std::vector<std::string>{"/f.json", "/e.json", "/d.json", "/c.json", "/a.json"}));
}

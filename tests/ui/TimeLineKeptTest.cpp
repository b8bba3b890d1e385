// The time line window for daily work: the channel filter, the import's problems with the
// orbit set from them, and layouts kept between runs and saved to files, over real archives.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>

#include "UiTestSupport.h"
#include "archive/Archive.h"
#include "archive/ArchiveLocation.h"
#include "settings/TimeLineLayout.h"
#include "ui/LayoutMenu.h"
#include "ui/TimeLinePlot.h"
#include "ui/TimeLineWindow.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

// 32 samples 4 MA apart of `channel` from orbit byte `orbit` on day `amDay` (hexadecimal texts).
BlockRecipe Block(const std::string& channel, int orbit, const std::string& amDay) {
    std::vector<uint8_t> samples;
    for (int i = 0; i < 32; ++i) samples.push_back(static_cast<uint8_t>(60 + 3 * i));
    char start[3], end[3];
    std::snprintf(start, 3, "%02X", orbit);
    std::snprintf(end, 3, "%02X", orbit);
    BlockRecipe recipe = RecipeOf(channel, start, "00", end, "7C", "04", std::move(samples));
    recipe.startAmDay = recipe.endAmDay = amDay;
    return recipe;
}

std::vector<std::string> Column(const QTreeWidget* list, int column, bool shownOnly = false) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (!shownOnly || !list->topLevelItem(i)->isHidden())
            texts.push_back(list->topLevelItem(i)->text(column).toStdString());
    return texts;
}

std::vector<int32_t> PlotChannels(const QSplitter* splitter) {
    std::vector<int32_t> channels;
    for (int i = 0; i < splitter->count(); ++i)
        if (auto* plot = qobject_cast<TimeLinePlot*>(splitter->widget(i))) channels.push_back(plot->channel());
    return channels;
}

// The program started on a telemetry directory with a file that is no block, #140 on day 8766
// and again 40 days later (whose orbit the dates cannot decide), and #106; the archive where
// the program keeps it, in the test's own folder.
struct ProblemProgram : TestProgram {
    ProblemProgram() {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString((home / "data").string()));
        qunsetenv("KELVAROX_DATABASE");
        AddBlock("a.dat", Block("0140", 0x10, "8766"));
        AddBlock("b.dat", Block("0106", 0x10, "8766"));
        AddBlock("late.dat", Block("0140", 0x20, "8806"));
        WriteBytes(telemetry / "short.dat", std::vector<uint8_t>(100, 'W'));
        NameTelemetryDirectory();
    }
    TimeLineWindow& Open() {
        KelvaroxApplication& program = Start();
        program.Start();
        program.StartArchiveFeed();
        FormChild<QAction>(program.Main(), "timeLineAction")->trigger();
        return *program.TimeLine();
    }
};

}  // namespace

TEST(TimeLineKept, AnOrbitSetFromTheImportProblemsMovesTheBlockAndLeavesTheList) {
    ProblemProgram p;
    TimeLineWindow& window = p.Open();
    auto* button = FormChild<QToolButton>(window, "problemsButton");
    auto* problems = FormChild<QTreeWidget>(window, "problemList");
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->text() == "Import Problems (2)"; }, 10000))
        << button->text().toStdString();
    EXPECT_FALSE(problems->isVisible());
    button->click();
    EXPECT_TRUE(problems->isVisible());
    EXPECT_EQ(Column(problems, 0),
              (std::vector<std::string>{(p.telemetry / "short.dat").string(), (p.telemetry / "late.dat").string()}));
    EXPECT_EQ(Column(problems, 2)[0], "File is improper length, must be 512 bytes!!");
    const int64_t taken = problems->topLevelItem(1)->text(1).toLongLong();
    EXPECT_EQ(taken % 256, 0x20);
    EXPECT_EQ(Column(problems, 2)[1], "orbit " + std::to_string(taken) + " is not sure: the dates could not decide it");

    // An orbit that does not end in the block's byte is refused with the archive's reason; the
    // orbit 256 later is taken, and the plot of #140 reaches it.
    auto* setOrbit = FormChild<QPushButton>(window, "setOrbitButton");
    EXPECT_FALSE(setOrbit->isEnabled());  // a file that failed has no orbit to set
    problems->topLevelItem(1)->setSelected(true);
    p.notifier.answers = {std::to_string(taken + 1), std::to_string(taken + 256)};
    setOrbit->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.notifier.boxes.size() == 2; }, 10000));
    EXPECT_EQ(p.notifier.boxes[0].text, "Set Orbit|The orbit of the block " + (p.telemetry / "late.dat").string() +
                                            " (the blocks after it follow):|" + std::to_string(taken));
    EXPECT_EQ(p.notifier.boxes[1].text, "Orbit " + std::to_string(taken + 1) +
                                            " does not end in the block's orbit byte 32 (orbit mod 256 must be 32)");
    setOrbit->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->text() == "Import Problems (1)"; }, 10000));
    EXPECT_EQ(Column(problems, 0), std::vector<std::string>{(p.telemetry / "short.dat").string()});
    archive::Archive archive(archive::DefaultArchiveLocation(), archive::Archive::Access::Read);
    std::vector<int64_t> orbits;
    archive.ForEachBlock(0x140, {}, false,
                         [&](const archive::ArchivedBlock& b, auto) { orbits.push_back(b.startOrbit); });
    EXPECT_EQ(orbits, (std::vector<int64_t>{0x10, taken + 256}));
    FormChild<QTreeWidget>(window, "channelList")->topLevelItem(1)->setSelected(true);
    auto* plot = window.findChild<TimeLinePlot*>("plot140");
    ASSERT_TRUE(plot);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return plot->trace() && plot->trace()->Extent() && plot->trace()->Extent()->right > taken + 256; },
        10000));
}

// The filter hides what does not match, keeps the plots of what it hides, and a layout naming
// a channel without blocks lists it greyed, apart, and keeps it.
TEST(TimeLineKept, TheFilterAndLayoutsKeepWhatTheyHide) {
    ProblemProgram p;
    TimeLineWindow& window = p.Open();
    auto* list = FormChild<QTreeWidget>(window, "channelList");
    auto* splitter = FormChild<QSplitter>(window, "plotSplitter");
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == 2; }, 10000));
    list->topLevelItem(1)->setSelected(true);
    EXPECT_EQ(PlotChannels(splitter), (std::vector<int32_t>{0x106, 0x140}));

    auto* filter = FormChild<QLineEdit>(window, "channelFilter");
    QTest::keyClicks(filter, "AMPS");
    EXPECT_EQ(Column(list, 0, true), std::vector<std::string>{"#106"});
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->topLevelItem(0)).center());
    EXPECT_EQ(PlotChannels(splitter), (std::vector<int32_t>{0x106, 0x140}));
    filter->clear();
    EXPECT_EQ(Column(list, 0, true), (std::vector<std::string>{"#106", "#140"}));

    // A layout: #140 over #3FF on top, then #106, then #2AA, which the archive does not hold.
    TimeLineLayout layout;
    layout.plots = {{{0x140, 0x3FF}, 300}, {{0x106}, 100}, {{0x2AA}, 0}};
    layout.view = TimeLineLayout::View{16.25, 16.5};
    const auto traceOf = [&](int32_t channel) { return window.findChild<TimeLinePlot*>("plot140")->traceOf(channel); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return traceOf(0x140) != nullptr; }, 10000));
    window.applyLayout(layout);
    EXPECT_EQ(PlotChannels(splitter), (std::vector<int32_t>{0x140, 0x106}));
    EXPECT_NE(traceOf(0x140), nullptr);  // drawn at once, not at the next import
    EXPECT_GT(splitter->sizes()[0], 2 * splitter->sizes()[1]);
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"#106", "#140", "No blocks in the archive", "#2AA"}));
    EXPECT_FALSE(list->topLevelItem(3)->flags() & Qt::ItemIsEnabled);
    TimeLineLayout shown = window.layout();
    EXPECT_EQ(shown.view, layout.view);
    for (auto& plot : shown.plots) plot.height = 0;
    for (auto& plot : layout.plots) plot.height = 0;
    EXPECT_EQ(shown.plots, layout.plots);

    // Saved to a file and opened again; a file that is no layout changes nothing.
    auto* menu = window.findChild<LayoutMenu*>();
    ASSERT_TRUE(menu);
    const std::string file = (p.home / "mine.json").string();
    p.notifier.savePaths = {file};
    menu->saveLayoutAs();
    EXPECT_EQ(ReadLayoutFile(file), window.layout());
    WriteText(p.home / "bad.json", "{\"format\": \"Kelvarox time line layout\", \"version\": 7}");
    p.notifier.boxes.clear();
    menu->openLayoutFile(QString::fromStdString((p.home / "bad.json").string()));
    EXPECT_EQ(p.notifier.Texts(), std::vector<std::string>{(p.home / "bad.json").string() +
                                                           ": The layout is of version 7, newer than this Kelvarox "
                                                           "knows (1)"});
    EXPECT_EQ(PlotChannels(splitter), (std::vector<int32_t>{0x140, 0x106}));
    layout.plots = {{{0x106}, 0}, {{0x106}, 0}, {{0x140}, 0}};  // a channel named twice has one plot
    window.applyLayout(layout);
    EXPECT_EQ(PlotChannels(splitter), (std::vector<int32_t>{0x106, 0x140}));
    // Channels drawn over one plot: those the archive holds are drawn, the others kept.
    layout.plots = {{{0x140, 0x106, 0x3FF}, 0}};
    window.applyLayout(layout);
    EXPECT_EQ(PlotChannels(splitter), std::vector<int32_t>{0x140});
    EXPECT_EQ(window.findChild<TimeLinePlot*>("plot140")->channels(), (std::vector<int32_t>{0x140, 0x106}));
    EXPECT_NE(traceOf(0x106), nullptr);
    EXPECT_EQ(window.layout().plots.at(0).channels, (std::vector<int32_t>{0x140, 0x106, 0x3FF}));
}

// Closed and started again, the program shows the time line as it was left.
TEST(TimeLineKept, TheLayoutComesBackAtTheNextStart) {
    ProblemProgram p;
    {
        TimeLineWindow& window = p.Open();
        auto* list = FormChild<QTreeWidget>(window, "channelList");
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == 2; }, 10000));
        list->topLevelItem(1)->setSelected(true);
        window.findChild<TimeLinePlot*>("plot140")->moveUpAction()->trigger();
        p.app.reset();
    }
    TimeLineWindow& window = p.Open();
    auto* splitter = FormChild<QSplitter>(window, "plotSplitter");
    EXPECT_TRUE(QTest::qWaitFor([&] { return PlotChannels(splitter) == std::vector<int32_t>{0x140, 0x106}; }, 10000));
    EXPECT_FALSE(window.layout().view);
}

// The time line window over a real archive, driven through its widgets and the mouse: the
// channel list and the plots, zoom by wheel and rectangle, the break between blocks that do
// not join, the statistics and the read-out against the archive's samples, and the files saved.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>
#include <climits>
#include <cmath>
#include <set>

#include <sqlite3.h>

#include "Process.h"
#include "ScopedEnv.h"
#include "SilentServer.h"
#include "UiTestSupport.h"
#include "archive/Archive.h"
#include "archive/Schema.h"
#include "core/CsvText.h"
#include "timeline/CursorDelta.h"
#include "timeline/TimeLinePicture.h"
#include "timeline/TypedRange.h"
#include "ui/FoldCanvas.h"
#include "ui/FoldLink.h"
#include "ui/FoldWindow.h"
#include "ui/GraphWindow.h"
#include "ui/MessageBoxNotifier.h"
#include "ui/TimeLinePlot.h"
#include "ui/TimeLineWindow.h"

using namespace kelvarox;
using namespace kelvarox::testing;
using namespace kelvarox::timeline;

namespace {

// 32 samples 4 MA apart from `orbit`/`ma` (hexadecimal texts of the bytes), raw from `raw0` up
// by `rise`.
BlockRecipe Run32(const std::string& channel, int orbit, int ma, int raw0, int rise) {
    std::vector<uint8_t> samples;
    for (int i = 0; i < 32; ++i) samples.push_back(static_cast<uint8_t>(raw0 + rise * i + (i % 3) * 5));
    const int end = orbit * 256 + ma + 31 * 4;
    char start[3], startMA[3], endOrbit[3], endMA[3];
    std::snprintf(start, 3, "%02X", orbit);
    std::snprintf(startMA, 3, "%02X", ma);
    std::snprintf(endOrbit, 3, "%02X", end / 256);
    std::snprintf(endMA, 3, "%02X", end % 256);
    return RecipeOf(channel, start, startMA, endOrbit, endMA, "04", std::move(samples));
}

// Orbit and MA read back from the read-out: "Orbit 16  MA 200 ..." as a time.
double ReadoutTime(const QLabel* readout) {
    long orbit = 0;
    int ma = 0;
    if (std::sscanf(readout->text().toLatin1().constData(), "Orbit %ld  MA %d", &orbit, &ma) != 2) return NAN;
    return static_cast<double>(orbit) + ma / 256.0;
}

class TimeLineWindowTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string location = (dir / "archive.sqlite").string();
    RecordingNotifier notifier;
    std::unique_ptr<TimeLineWindow> window;
    QTreeWidget* list = nullptr;
    QSplitter* splitter = nullptr;
    QLabel* readout = nullptr;

    // #140: block A at 16/000 and block B one step after it, then C after a gap at 17/128;
    // #106: one block.
    void SetUp() override {
        AddToArchive({{"a.dat", Run32("0140", 0x10, 0x00, 60, 3)},
                      {"b.dat", Run32("0140", 0x10, 0x80, 150, -2)},
                      {"c.dat", Run32("0140", 0x11, 0x80, 90, 1)},
                      {"d.dat", Run32("0106", 0x10, 0x40, 120, 1)}});
        window = std::make_unique<TimeLineWindow>(location, notifier);
        window->resize(1100, 640);
        window->show();
        list = FormChild<QTreeWidget>(*window, "channelList");
        splitter = FormChild<QSplitter>(*window, "plotSplitter");
        readout = FormChild<QLabel>(*window, "readoutLabel");
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == 2; }, 10000));
    }

    void AddToArchive(const std::vector<std::pair<std::string, BlockRecipe>>& blocks) {
        archive::Archive archive(location, archive::Archive::Access::Write);
        archive::Importer importer(archive, 0, false);
        for (const auto& [name, recipe] : blocks) {
            WriteBytes(dir / name, BuildBlock(recipe));
            auto intake = archive::ReadBlockForArchive((dir / name).string(), {});
            ASSERT_TRUE(intake.block) << intake.error;
            importer.Add(std::move(*intake.block));
        }
        importer.Finish();
    }

    // Shows #140 alone and waits for its samples.
    TimeLinePlot* ShowTemperatureOnly() {
        list->topLevelItem(0)->setSelected(false);
        list->topLevelItem(1)->setSelected(true);
        TimeLinePlot* plot = window->findChild<TimeLinePlot*>("plot140");
        EXPECT_TRUE(plot);
        EXPECT_TRUE(QTest::qWaitFor([&] { return plot && plot->trace(); }, 10000));
        return plot;
    }

    // The archive's samples of #140 within [from, to].
    std::vector<std::pair<archive::SeriesSample, std::string>> Samples(double from, double to) {
        archive::Archive archive(location, archive::Archive::Access::Read);
        std::vector<std::pair<archive::SeriesSample, std::string>> samples;
        archive.ForEachSample(0x140, {}, archive::ChannelTranslation(BuiltInDefinition(0x140), std::nullopt),
                              [&](const archive::SeriesSample& s, const archive::ArchivedBlock& b) {
                                  const double t = TimeOf(s.orbit, s.ma);
                                  if (t >= from && t <= to) samples.emplace_back(s, b.file);
                              });
        return samples;
    }

    // The view after Show All: everything from 16/000 to 17/252 with its margins.
    static TimeRange AllOf140() { return Showing({16.0, 17 + 252 / 256.0}); }

    static int PixelAt(const TimeLinePlot* plot, const TimeRange& view, double time) {
        return layout::kValueAxisWidth +
               static_cast<int>(std::lround(PixelOf(view, time, TraceWidth(plot->canvas()->width()))));
    }

    double TimeUnder(TimeLinePlot* plot, int x) {
        QTest::mouseMove(plot->canvas(), QPoint(x, 100));
        return ReadoutTime(readout);
    }

    static void Wheel(QWidget* canvas, int x, int delta) {
        QWheelEvent event(QPointF(x, 100), canvas->mapToGlobal(QPointF(x, 100)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &event);
    }

    static void DragRectangle(QWidget* canvas, QPoint from, QPoint to) {
        QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(canvas, (from + to) / 2);
        QTest::mouseMove(canvas, to);
        QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, to);
    }
};

std::vector<QWidget*> Stacked(QSplitter* splitter) {
    std::vector<QWidget*> plots;
    for (int i = 0; i < splitter->count(); ++i) plots.push_back(splitter->widget(i));
    return plots;
}

}  // namespace

TEST_F(TimeLineWindowTest, SelectedChannelsAreStackedAndReordered) {
    const QTreeWidgetItem* battery = list->topLevelItem(0);
    EXPECT_EQ((QStringList{battery->text(0), battery->text(1), battery->text(2), battery->text(3)}),
              (QStringList{"#106", "I-Bat, Tot Bat Amps", "Amps", "1"}));
    EXPECT_EQ(list->topLevelItem(1)->text(3), "3");
    // The first channel is shown at once.
    auto* battery106 = window->findChild<TimeLinePlot*>("plot106");
    EXPECT_EQ(Stacked(splitter), std::vector<QWidget*>{battery106});

    list->topLevelItem(1)->setSelected(true);
    auto* temperature = window->findChild<TimeLinePlot*>("plot140");
    ASSERT_TRUE(temperature);
    EXPECT_EQ(Stacked(splitter), (std::vector<QWidget*>{battery106, temperature}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return temperature->trace() && battery106->trace(); }, 10000));
    EXPECT_EQ(FormChild<QLabel>(*temperature, "statisticsLabel")->text().left(9), "Count 96 ");

    temperature->moveUpAction()->trigger();
    EXPECT_EQ(Stacked(splitter), (std::vector<QWidget*>{temperature, battery106}));
    list->topLevelItem(0)->setSelected(false);
    EXPECT_EQ(Stacked(splitter), std::vector<QWidget*>{temperature});
    EXPECT_FALSE(window->findChild<TimeLinePlot*>("plot106"));
}

TEST_F(TimeLineWindowTest, TheWheelZoomsAroundTheCursorARectangleIntoItselfAndHomeShowsAll) {
    TimeLinePlot* plot = ShowTemperatureOnly();
    const TimeRange all = AllOf140();
    const int x = PixelAt(plot, all, 17.0);
    const double under = TimeUnder(plot, x);
    EXPECT_NEAR(under, 17.0, 2 / 256.0);
    const double farBefore = TimeUnder(plot, x + 300) - under;

    Wheel(plot->canvas(), x, 120);
    EXPECT_EQ(TimeUnder(plot, x), under);
    EXPECT_NEAR(TimeUnder(plot, x + 300) - under, farBefore / 1.25, 2 / 256.0);

    // A rectangle from 16/064 to 16/192 across the plot's whole height: its edges become the view's.
    const TimeRange zoomed = ZoomedAround(all, under, 1.25);
    DragRectangle(plot->canvas(), QPoint(PixelAt(plot, zoomed, 16.25), 100), QPoint(PixelAt(plot, zoomed, 16.75), 101));
    EXPECT_NEAR(TimeUnder(plot, layout::kValueAxisWidth), 16.25, 2 / 256.0);
    EXPECT_NEAR(TimeUnder(plot, layout::kValueAxisWidth + TraceWidth(plot->canvas()->width())), 16.75, 2 / 256.0);

    QTest::keyClick(window.get(), Qt::Key_Home);
    EXPECT_EQ(TimeUnder(plot, x), under);
}

// A range typed into From and To and applied with Enter; texts that do not read are marked and
// change nothing; the boxes follow a zoom; Alt+Left, Alt+Right and the mouse's back button go
// through the views chosen, a pan drag being one step.
TEST_F(TimeLineWindowTest, TypedRangesAndTheHistoryOfViews) {
    TimeLinePlot* plot = ShowTemperatureOnly();
    auto* from = FormChild<QLineEdit>(*window, "fromEdit");
    auto* to = FormChild<QLineEdit>(*window, "toEdit");
    const auto edges = [&] {
        return std::pair(TimeUnder(plot, layout::kValueAxisWidth),
                         TimeUnder(plot, layout::kValueAxisWidth + TraceWidth(plot->canvas()->width())));
    };
    const auto expectView = [&](double left, double right) {
        const auto [l, r] = edges();
        EXPECT_NEAR(l, left, 2 / 256.0);
        EXPECT_NEAR(r, right, 2 / 256.0);
    };
    const auto type = [&](QLineEdit* box, const char* text) {
        box->selectAll();
        QTest::keyClicks(box, text);
    };
    const auto all = edges();

    type(from, "16/64");
    type(to, "16/192");
    QTest::keyClick(to, Qt::Key_Return);
    expectView(16.25, 16.75);
    EXPECT_EQ(from->text(), "16/64");
    EXPECT_EQ(to->text(), "16/192");

    const QString usual = to->toolTip();
    const std::vector<std::tuple<const char*, const char*, QString, QString>> refused = {
        {"16/300", "17", "The MA runs from 0 to 255", usual},
        {"17", "16", "From must lie before To", "From must lie before To"},
        {"2002-01-01 13:00", "17", "A time of day needs the orbital elements of a satellite file", usual}};
    for (const auto& [fromText, toText, fromTip, toTip] : refused) {
        type(from, fromText);
        type(to, toText);
        QTest::keyClick(from, Qt::Key_Return);
        expectView(16.25, 16.75);
        EXPECT_EQ(from->toolTip(), fromTip);
        EXPECT_EQ(to->toolTip(), toTip);
        EXPECT_FALSE(from->styleSheet().isEmpty());
        EXPECT_EQ(to->styleSheet().isEmpty(), toTip == usual);
    }

    // A zoom: the boxes show its ends, the marks go.
    Wheel(plot->canvas(), PixelAt(plot, {16.25, 16.75}, 16.5), 120);
    const auto zoomed = edges();
    EXPECT_EQ(from->text().toStdString(),
              ViewEndText({zoomed.first, zoomed.second}, RangeEnd::From, EndForm::Orbit, DateLine(), nullptr));
    EXPECT_TRUE(from->styleSheet().isEmpty());

    // A pan of one drag is one step.
    const QPoint start(400, 100);
    QTest::mousePress(plot->canvas(), Qt::RightButton, Qt::NoModifier, start);
    for (const int dx : {20, 40, 60}) QTest::mouseMove(plot->canvas(), start + QPoint(dx, 0));
    QTest::mouseRelease(plot->canvas(), Qt::RightButton, Qt::NoModifier, start + QPoint(60, 0));
    const auto panned = edges();
    EXPECT_LT(panned.first, zoomed.first);

    QTest::keyClick(window.get(), Qt::Key_Left, Qt::AltModifier);
    expectView(zoomed.first, zoomed.second);
    QTest::keyClick(window.get(), Qt::Key_Left, Qt::AltModifier);
    expectView(16.25, 16.75);
    EXPECT_EQ(from->text(), "16/64");
    QTest::mouseClick(plot->canvas(), Qt::BackButton, Qt::NoModifier, start);
    expectView(all.first, all.second);
    EXPECT_FALSE(FormChild<QAction>(*window, "backAction")->isEnabled());
    QTest::keyClick(window.get(), Qt::Key_Right, Qt::AltModifier);
    expectView(16.25, 16.75);

    // A new step drops those ahead; Show All is a step.
    QTest::keyClick(window.get(), Qt::Key_Plus);
    EXPECT_FALSE(FormChild<QAction>(*window, "forwardAction")->isEnabled());
    QTest::keyClick(window.get(), Qt::Key_Home);
    expectView(all.first, all.second);
    QTest::keyClick(window.get(), Qt::Key_Left, Qt::AltModifier);
    expectView(16.375, 16.625);
}

// With orbital elements (2002-01-01 00:00 UTC at orbit 16, 16 orbits a day) a range is typed
// as UTC, the boxes show the view's ends so, and the read-out gives the UTC at the cursor.
TEST_F(TimeLineWindowTest, WithElementsARangeIsTypedAsUtc) {
    ElementSet elements;
    elements.epochAmDay = 8766;
    elements.revolution = 16;
    elements.meanMotion = 16;
    window->useSatellite(std::make_shared<const SatelliteDefinition>("Example-1", std::vector<ChannelEntry>{},
                                                                     std::vector<ElementSet>{elements}));
    TimeLinePlot* plot = ShowTemperatureOnly();
    auto* from = FormChild<QLineEdit>(*window, "fromEdit");
    auto* to = FormChild<QLineEdit>(*window, "toEdit");
    from->setText("2002-01-01 00:45");
    to->setText("2002-01-01T01:30:00");
    QTest::keyClick(from, Qt::Key_Enter);
    EXPECT_EQ(from->text(), "2002-01-01 00:45:00");
    EXPECT_EQ(to->text(), "2002-01-01 01:30:00");
    EXPECT_NEAR(TimeUnder(plot, layout::kValueAxisWidth), 16.5, 1 / 256.0);
    EXPECT_TRUE(readout->text().endsWith("2002-01-01T00:45:00.000Z")) << readout->text().toStdString();
}

TEST_F(TimeLineWindowTest, StatisticsAndTheNearestSampleAreThoseOfTheArchive) {
    TimeLinePlot* plot = ShowTemperatureOnly();
    QLabel* statistics = FormChild<QLabel>(*plot, "statisticsLabel");
    const auto expectStatistics = [&](double from, double to) {
        const auto samples = Samples(from, to);
        double sum = 0, squares = 0;
        float low = INFINITY, high = -INFINITY;
        for (const auto& [s, file] : samples) {
            sum += s.value;
            low = std::min(low, s.value);
            high = std::max(high, s.value);
        }
        const double mean = sum / static_cast<double>(samples.size());
        for (const auto& [s, file] : samples) squares += (s.value - mean) * (s.value - mean);
        float count = 0, min = 0, max = 0, shownMean = 0, sd = 0;
        ASSERT_EQ(std::sscanf(statistics->text().toLatin1().constData(), "Count %f   Min %f   Max %f   Mean %f   SD %f",
                              &count, &min, &max, &shownMean, &sd),
                  5)
            << statistics->text().toStdString();
        EXPECT_EQ(count, static_cast<float>(samples.size()));
        EXPECT_EQ(min, low);
        EXPECT_EQ(max, high);
        EXPECT_NEAR(shownMean, mean, 1e-4);
        EXPECT_NEAR(sd, std::sqrt(squares / static_cast<double>(samples.size())), 1e-4);
    };
    expectStatistics(0, 100);

    // The cursor over sample 5 of block C reads that sample, and a double-click opens its block.
    const TimeRange all = AllOf140();
    const double fifth = 17 + (128 + 5 * 4) / 256.0;
    const auto sample = Samples(fifth, fifth);
    ASSERT_EQ(sample.size(), 1u);
    std::string value;
    AppendShortestFloat(value, sample[0].first.value);
    TimeUnder(plot, PixelAt(plot, all, fifth) + 1);
    EXPECT_EQ(FormChild<QLabel>(*plot, "sampleLabel")->text().toStdString(), value + " at 17/148 in c.dat");
    QSignalSpy opened(window.get(), &TimeLineWindow::blockOpenRequested);
    QTest::mouseDClick(plot->canvas(), Qt::LeftButton, Qt::NoModifier, QPoint(PixelAt(plot, all, fifth) - 1, 100));
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.at(0).at(0).toString().toStdString(), (dir / "c.dat").string());

    // Zoomed from the gap before C to the end: the statistics are C's.
    const int right = layout::kValueAxisWidth + TraceWidth(plot->canvas()->width());
    DragRectangle(plot->canvas(), QPoint(right, 100), QPoint(PixelAt(plot, all, 17.25), 101));
    expectStatistics(17.25, 100);
}

// A view of more orbits than the plot has columns is drawn from the statistics the archive keeps
// per orbit, not from the samples: a count made larger in the archive shows in the plot.
TEST_F(TimeLineWindowTest, AWideViewIsDrawnFromTheArchivesOrbitStatistics) {
    TimeLinePlot* plot = ShowTemperatureOnly();
    QLabel* statistics = FormChild<QLabel>(*plot, "statisticsLabel");
    auto* from = FormChild<QLineEdit>(*window, "fromEdit");
    auto* to = FormChild<QLineEdit>(*window, "toEdit");
    const auto count = [&] {
        float n = 0;
        return std::sscanf(statistics->text().toLatin1().constData(), "Count %f", &n) == 1 ? n : -1.0f;
    };
    const float samples = static_cast<float>(Samples(0, 100).size());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(location.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "UPDATE kelvarox_orbit_statistics SET samples = samples + 1000 WHERE channel = 320 AND orbit = 16",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    window->readArchiveNow();  // no commit: nothing is read again
    from->setText("0");
    to->setText("20000");
    QTest::keyClick(to, Qt::Key_Return);
    EXPECT_EQ(count(), samples);  // the statistics are read with the trace, which has not changed

    AddToArchive({{"e.dat", Run32("0140", 0x12, 0x00, 70, 1)}});
    const float more = static_cast<float>(Samples(0, 100).size());
    EXPECT_TRUE(QTest::qWaitFor([&] { return count() == more + 1000; }, 10000)) << statistics->text().toStdString();
    from->setText("16");
    to->setText("18");
    QTest::keyClick(to, Qt::Key_Return);
    EXPECT_EQ(count(), more);  // closer in: the samples
}

TEST_F(TimeLineWindowTest, BlocksThatDoNotJoinAreDrawnWithABreak) {
    TimeLinePlot* plot = ShowTemperatureOnly();
    const TimeRange all = AllOf140();
    const QImage canvas = plot->canvas()->grab().toImage();
    const Colour c = plot->canvas()->picture().colour;
    const QRgb trace = qRgb(c.r, c.g, c.b);
    const auto traceIn = [&](int x) {
        for (int y = layout::kTopMargin; y < canvas.height() - layout::kBottomMargin; ++y)
            if (canvas.pixel(x, y) == trace) return true;
        return false;
    };
    // The column a sample is drawn in.
    const auto column = [&](double time) {
        return layout::kValueAxisWidth + static_cast<int>(std::floor(PixelOf(all, time, TraceWidth(canvas.width()))));
    };
    // B's last sample at 16/252 and C's first at 17/128: nothing drawn between them.
    for (int x = column(16 + 252 / 256.0) + 2; x <= column(17.5) - 2; ++x) EXPECT_FALSE(traceIn(x)) << x;
    // A's last sample at 16/124 joins B's first at 16/128; within C the samples join too.
    for (int x = column(16 + 124 / 256.0); x <= column(16.5); ++x) EXPECT_TRUE(traceIn(x)) << x;
    for (int x = column(17.5); x <= column(17 + 252 / 256.0); ++x) EXPECT_TRUE(traceIn(x)) << x;
}

// Follow moves the view under a mouse that stays: the cursor, the read-out and the marked
// sample are those of the mouse's place in the new view.
TEST_F(TimeLineWindowTest, TheCursorStaysUnderTheMouseWhenFollowMovesTheView) {
    TimeLinePlot* plot = ShowTemperatureOnly();
    const int x = PixelAt(plot, AllOf140(), 17.5);
    const double before = TimeUnder(plot, x);
    AddToArchive({{"e.dat", Run32("0140", 0x13, 0x00, 70, 2)}});
    window->readArchiveNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return plot->trace()->BlockCount() == 4; }, 10000));
    const double now = plot->canvas()->timeAt(x);
    EXPECT_GT(now - before, 0.25);
    EXPECT_NEAR(ReadoutTime(readout), now, 1 / 256.0);
    const auto sample = plot->nearestSample(now);
    ASSERT_TRUE(sample);
    std::string value;
    AppendShortestFloat(value, sample->value);
    EXPECT_EQ(FormChild<QLabel>(*plot, "sampleLabel")->text().toStdString().substr(0, value.size() + 4),
              value + " at ");
}

// Nine channels share the window's height; the window keeps its size and place. Every text of
// the plots' headers and of the channel list stays whole, at any width the window takes.
TEST_F(TimeLineWindowTest, PlotsShareTheWindowWhoseTextsStayWhole) {
    std::vector<std::pair<std::string, BlockRecipe>> more;
    for (const char* channel : {"0100", "010B", "0130", "0134", "0141", "0171", "0180"})
        more.push_back({std::string(channel) + ".dat", Run32(channel, 0x10, 0x00, 90, 1)});
    AddToArchive(more);
    window->readArchiveNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == 9; }, 10000));
    QTest::qWait(50);
    const QRect placed = window->geometry();
    list->selectAll();
    ASSERT_TRUE(QTest::qWaitFor([&] { return splitter->count() == 9; }, 10000));
    QTest::qWait(50);
    EXPECT_EQ(window->geometry(), placed);
    int lowest = INT_MAX, highest = 0;
    for (QWidget* plot : Stacked(splitter)) {
        lowest = std::min(lowest, plot->height());
        highest = std::max(highest, plot->height());
    }
    EXPECT_LE(highest - lowest, 10);
    EXPECT_GE(lowest * 9, FormChild<QWidget>(*window, "plotScroll")->height() - 9 * 10);

    const QFontMetrics metrics(list->font());
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            EXPECT_GE(list->header()->sectionSize(column),
                      metrics.horizontalAdvance(list->topLevelItem(row)->text(column)))
                << column << ", " << row;
    EXPECT_GE(list->viewport()->width(), list->header()->length());

    auto* first = static_cast<TimeLinePlot*>(splitter->widget(0));
    for (const int width : {1100, 900, 700, 400}) {
        window->resize(width, placed.height());
        QTest::qWait(30);
        QTest::mouseMove(first->canvas(), QPoint(first->canvas()->width() / 2, 20));
        QTest::qWait(30);
        for (QWidget* plot : Stacked(splitter)) {
            std::vector<QRect> taken;
            for (const char* name : {"titleLabel", "sampleLabel", "statisticsLabel"}) {
                const QLabel* label = FormChild<QLabel>(*plot, name);
                if (label->text().isEmpty()) continue;
                EXPECT_GE(label->width(), label->sizeHint().width()) << name << " at " << width;
                EXPECT_LE(label->geometry().right(), plot->width()) << name << " at " << width;
                for (const QRect& other : taken)
                    EXPECT_FALSE(other.intersects(label->geometry())) << name << " at " << width;
                taken.push_back(label->geometry());
            }
        }
    }
}

TEST_F(TimeLineWindowTest, SavesThePictureAndTheSamplesInView) {
    ShowTemperatureOnly();
    notifier.savePaths = {(dir / "line.png").string(),           (dir / "line.svg").string(),
                          (dir / "line.pdf").string(),           (dir / "line.gif").string(),
                          (dir / "no-folder/line.png").string(), (dir / "line.csv").string()};
    auto* saveImage = FormChild<QPushButton>(*window, "saveImageButton");
    for (int i = 0; i < 5; ++i) QTest::mouseClick(saveImage, Qt::LeftButton);
    QTest::mouseClick(FormChild<QPushButton>(*window, "saveCsvButton"), Qt::LeftButton);

    const TimeLinePicture picture = window->picture();
    const QImage png(QString::fromStdString((dir / "line.png").string()));
    EXPECT_EQ(png.size(), QSize(picture.width, picture.Height()));
    const std::string svg = ReadText(dir / "line.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_EQ(svg.find("<image"), std::string::npos);  // lines and texts, not a raster
    EXPECT_NE(svg.find("Temp - SEU"), std::string::npos);
    EXPECT_EQ(ReadText(dir / "line.pdf").substr(0, 5), "%PDF-");
    EXPECT_FALSE(std::filesystem::exists(dir / "line.gif"));
    EXPECT_FALSE(std::filesystem::exists(dir / "no-folder"));
    ASSERT_EQ(notifier.Texts().size(), 8u);
    EXPECT_EQ(notifier.Texts()[4],
              "Pictures are saved as .png, .svg or .pdf files, not as " + (dir / "line.gif").string() + ".");
    EXPECT_EQ(notifier.Texts()[6].rfind("Cannot save " + (dir / "no-folder/line.png").string() + ": ", 0), 0u);
    // The dialogs start in the folder of the last file saved.
    const std::string imageFilters = "|PNG image (*.png);;SVG picture (*.svg);;PDF document (*.pdf)";
    EXPECT_EQ(notifier.Texts()[0], "Save Image|time-line.png" + imageFilters);
    EXPECT_EQ(notifier.Texts()[1], "Save Image|" + (dir / "time-line.png").string() + imageFilters);
    EXPECT_EQ(notifier.Texts()[7],
              "Save CSV of #140  Temp - SEU  (Deg.C)|" + (dir / "time-line-140.csv").string() + "|CSV file (*.csv)");

    // Every sample is in view: the CSV is what the series command writes.
    const auto series = RunProcess(KELVAROX_CLI, {"series", "--database", location, "#140"});
    ASSERT_EQ(series.status, 0) << series.err;
    EXPECT_EQ(ReadText(dir / "line.csv"), series.out);
}

TEST_F(TimeLineWindowTest, FoldOfAPlotNamesTheArchivesSamplesSavesItsBinsAndShowsAClickedOrbit) {
    OpenFoldsOf(*window, notifier);
    TimeLinePlot* plot = ShowTemperatureOnly();
    plot->foldAction()->trigger();
    auto* fold = window->findChild<FoldWindow*>();
    ASSERT_TRUE(fold);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fold->isRead(); }, 10000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fold));
    auto* canvas = FormChild<FoldCanvas>(*fold, "foldCanvas");
    const FoldPicture picture = canvas->picture();
    ASSERT_EQ(picture.subtitle, "2 orbits from 16 to 17");

    // The mouse on a line of each orbit names a sample of the archive.
    auto* readout = FormChild<QLabel>(*fold, "readoutLabel");
    std::set<long> named;
    for (size_t i = 0; i < picture.lineCells.size(); i += 97) {
        if (picture.lineCells[i] == 0) continue;
        const QPoint at(picture.lines.x + static_cast<int>(i % picture.lines.width),
                        picture.lines.y + static_cast<int>(i / picture.lines.width));
        QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
        long orbit = 0;
        int ma = 0;
        float value = 0;
        const std::string text = readout->text().toStdString();
        ASSERT_EQ(std::sscanf(text.c_str(), "Orbit %ld  MA %d  Value %f  File ", &orbit, &ma, &value), 3) << text;
        const auto samples = Samples(TimeOf(orbit, ma), TimeOf(orbit, ma));
        ASSERT_EQ(samples.size(), 1u) << orbit << " " << ma;
        EXPECT_EQ(samples[0].first.value, value);
        EXPECT_EQ(text.substr(text.find("  File ") + 7), samples[0].second);
        named.insert(orbit);
        if (named.size() == 1) {
            // A click shows the orbit in the time line.
            QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, at);
            EXPECT_EQ(plot->canvas()->timeAt(layout::kValueAxisWidth), orbit);
            EXPECT_EQ(plot->canvas()->timeAt(layout::kValueAxisWidth + TraceWidth(plot->canvas()->width())), orbit + 1);
        }
    }
    EXPECT_EQ(named, (std::set<long>{16, 17}));

    // The bins as the command line folds the same orbits, and the picture as a PDF file.
    notifier.savePaths = {(dir / "fold.csv").string(), (dir / "fold.pdf").string()};
    QTest::mouseClick(FormChild<QPushButton>(*fold, "saveCsvButton"), Qt::LeftButton);
    QTest::mouseClick(FormChild<QPushButton>(*fold, "saveImageButton"), Qt::LeftButton);
    const auto cli =
        RunProcess(KELVAROX_CLI, {"fold", "--database", location, "#140", "--from",
                                  std::to_string(*fold->orbits().from), "--to", std::to_string(*fold->orbits().to)});
    ASSERT_EQ(cli.status, 0) << cli.err;
    EXPECT_EQ(ReadText(dir / "fold.csv"), cli.out);
    EXPECT_EQ(ReadText(dir / "fold.pdf").substr(0, 5), "%PDF-");
}

TEST(TimeLineProgram, MenuTimeLineShowsTheImportedDirectoryAndADoubleClickOpensTheBlock) {
    TestProgram p;
    // The archive where the program keeps it, in a folder of the test's own.
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString((p.home / "data").string()));
    qunsetenv("KELVAROX_DATABASE");
    p.AddBlock("c.dat", Run32("0140", 0x11, 0x80, 90, 1));
    p.AddBlock("b.dat", Run32("0106", 0x11, 0x80, 90, 1));
    WriteBytes(p.telemetry / "short.dat", std::vector<uint8_t>(100, 'W'));
    p.NameTelemetryDirectory();
    // The blocks are added with the stored Orbit HiByte 2: orbit 17 is 529.
    WriteText(p.settingsFile, ReadText(p.settingsFile) +
                                  "\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup]\r\n"
                                  "\"Orbit Offset\"=\"2\"\r\n");
    KelvaroxApplication& app = p.Start();
    app.Start();
    app.StartArchiveFeed();
    EXPECT_EQ(app.TimeLine(), nullptr);
    FormChild<QAction>(app.Main(), "timeLineAction")->trigger();
    TimeLineWindow* window = app.TimeLine();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(FormChild<QCheckBox>(*window, "followCheck")->isChecked());
    QLabel* status = FormChild<QLabel>(*window, "statusLabel");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return status->toolTip() == "Archive: added 2, already stored 0, failed 1"; }, 10000))
        << status->toolTip().toStdString();
    QTreeWidget* list = FormChild<QTreeWidget>(*window, "channelList");
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == 2; }, 10000));
    list->topLevelItem(0)->setSelected(false);
    list->topLevelItem(1)->setSelected(true);
    TimeLinePlot* plot = nullptr;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return (plot = window->findChild<TimeLinePlot*>("plot140")) && plot->trace(); }, 10000));

    // The user has typed Orbit HiByte 0 and selected the other file. A double-click loads the
    // block of the nearest sample with the Orbit HiByte of the time line, selects its file,
    // and graphs it, as a drop does.
    MainForm form(app.Main());
    form.orbitHiByteEdit->setText("0");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.blockList->selectName("b.dat"); }, 10000));
    QTest::mouseDClick(plot->canvas(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 100));
    EXPECT_EQ(form.orbitHiByteEdit->text(), "2");
    EXPECT_EQ(form.blockList->selectedPath().toStdString(), (p.telemetry / "c.dat").string());
    EXPECT_EQ(form.nameEdit->text(), "Temp - SEU");
    EXPECT_TRUE(app.Graph().isVisible());
    EXPECT_EQ(app.Graph().scene().Text(GraphText::StartOrbit), "Orbit# 529");
    EXPECT_EQ(app.State().Loaded().blockFilePath, (p.telemetry / "c.dat").string());
}

namespace {

// The text of a label that wraps, without the places where it may break.
std::string Shown(const QLabel& label) { return label.text().remove(QChar(0x200B)).toStdString(); }

// The program started on a telemetry directory of one block, adding it to the archive.
KelvaroxApplication& StartWithABlock(TestProgram& p) {
    p.AddBlock("c.dat", Run32("0140", 0x11, 0x80, 90, 1));
    p.NameTelemetryDirectory();
    KelvaroxApplication& app = p.Start();
    app.Start();
    app.StartArchiveFeed();
    return app;
}

}  // namespace

// The archive cannot be written: the time line shows the whole message, and the main window
// that importing has stopped, with the message when asked.
TEST(TimeLineProgram, AnArchiveThatCannotBeWrittenIsToldInFull) {
    TestProgram p;
    const std::string location = (p.home / "archive.sqlite").string();
    { archive::Archive created(location, archive::Archive::Access::Write); }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(location.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "UPDATE kelvarox_meta SET value = '99' WHERE key = 'schema_version'", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    ScopedEnv database("KELVAROX_DATABASE", location.c_str());
    KelvaroxApplication& app = StartWithABlock(p);
    const std::string message = "Archive: The archive " + location +
                                " has schema version 99, newer than this Kelvarox knows (" +
                                std::to_string(archive::kSchemaVersion) + "); it was left as it is";
    auto* stopped = FormChild<QToolButton>(app.Main(), "importProblemButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return stopped->isVisible(); }, 10000));
    EXPECT_EQ(stopped->toolTip().toStdString(), message);
    stopped->click();
    ASSERT_EQ(p.notifier.boxes.size(), 1u);
    EXPECT_EQ(p.notifier.boxes[0].text,
              "Adding the telemetry directory's blocks to the archive has stopped:\n" + message);

    FormChild<QAction>(app.Main(), "timeLineAction")->trigger();
    TimeLineWindow* window = app.TimeLine();
    window->resize(700, 500);
    QLabel* status = FormChild<QLabel>(*window, "statusLabel");
    QTest::qWait(50);
    EXPECT_EQ(status->toolTip().toStdString(), message);
    EXPECT_EQ(Shown(*status), message);
    EXPECT_LE(status->width(), window->width());
    EXPECT_GE(status->height(), status->heightForWidth(status->width()));  // every line of it shows
    EXPECT_GT(status->height(), 2 * status->fontMetrics().height() - 4);
}

// A server that takes the connection and never answers: the time line says it is connecting and
// to what, and the program ends at once all the same. One that is not there: the outcome.
TEST(TimeLineProgram, ConnectingIsShownAndAServerThatNeverAnswersHoldsNothingUp) {
    TestProgram p;
    SilentServer server;
    const std::string silent = server.Address("connect_timeout=3600");
    ScopedEnv database("KELVAROX_DATABASE", silent.c_str());
    KelvaroxApplication& app = StartWithABlock(p);
    FormChild<QAction>(app.Main(), "timeLineAction")->trigger();
    QLabel* message = FormChild<QLabel>(*app.TimeLine(), "messageLabel");
    EXPECT_EQ(Shown(*message), "Connecting to the archive " + silent + " ...");
    QTest::qWait(200);
    EXPECT_EQ(Shown(*message), "Connecting to the archive " + silent + " ...");
    FormChild<QAction>(app.Main(), "exitAction")->trigger();
    EXPECT_EQ(p.quitCount, 1);
    p.app.reset();  // waits for nothing: the connection attempts are given up

    TestProgram q;
    const std::string nowhere = "postgresql:///archive?host=" + (q.home / "no-server").string();
    ScopedEnv none("KELVAROX_DATABASE", nowhere.c_str());
    q.Start();
    q.app->Start();
    FormChild<QAction>(q.app->Main(), "timeLineAction")->trigger();
    QLabel* outcome = FormChild<QLabel>(*q.app->TimeLine(), "messageLabel");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Shown(*outcome).starts_with("Cannot connect to the archive " + nowhere + ": "); }, 10000))
        << Shown(*outcome);
}

// A name typed without a suffix in the save dialog takes the suffix of the file type chosen.
TEST(SaveDialog, ANameWithoutASuffixTakesThatOfTheFileTypeChosen) {
    TempDir dir;
    MessageBoxNotifier notifier;
    for (const auto& [filters, chosen, expected] :
         {std::tuple<std::string, std::string, std::string>{
              "PNG image (*.png);;SVG picture (*.svg);;PDF document (*.pdf)", "SVG picture (*.svg)", "picture.svg"},
          {"PNG image (*.png);;SVG picture (*.svg);;PDF document (*.pdf)", "", "picture.png"},
          {"CSV file (*.csv)", "", "picture.csv"}}) {
        QTimer::singleShot(0, [&, chosen = chosen] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            if (!chosen.empty()) {
                // Chosen as the user does: with the arrow keys in the list of file types.
                auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
                for (int i = 0; i < types->count() && types->currentText().toStdString() != chosen; ++i)
                    QTest::keyClick(types, Qt::Key_Down);
            }
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText("picture");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const auto path = notifier.AskForSaveFile("Save Image", (dir / "time-line.png").string(), filters);
        EXPECT_EQ(path, (dir / expected).string()) << filters << " " << chosen;
    }
}

// Limits on #140 (values as raw bytes): a yellow excursion from a.dat into b.dat and one of a
// sample in b.dat, listed, marked in the channel list, and shown when chosen.
TEST_F(TimeLineWindowTest, TheExcursionsBeyondTheLimitsAreListedMarkedAndShown) {
    ChannelLimits limits;
    limits.yellowHigh = 150;
    limits.redHigh = 160;
    window->useSatellite(std::make_shared<const SatelliteDefinition>(
        "Example-1", std::vector<ChannelEntry>{{0x140, std::nullopt, {}, {}, Coefficients{0, 0, 1, 0}, limits}},
        std::vector<ElementSet>{}));
    TimeLinePlot* plot = ShowTemperatureOnly();
    auto* breaches = FormChild<QTreeWidget>(*window, "breachTree");
    ASSERT_TRUE(QTest::qWaitFor([&] { return breaches->topLevelItemCount() == 2; }, 10000));
    const auto rowText = [&](int n) {
        const QTreeWidgetItem* row = breaches->topLevelItem(n);
        return row->text(1) + " " + row->text(3) + " " + row->text(4) + " " + row->text(5) + " " + row->text(6);
    };
    EXPECT_EQ(rowText(0), "yellow 16/116 16/136 6 158");
    EXPECT_EQ(rowText(1), "yellow 16/148 16/148 1 150");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->topLevelItem(1)->icon(0).isNull(); }, 10000));  // #140
    EXPECT_TRUE(list->topLevelItem(0)->icon(0).isNull());  // #106 has no limits
    FormChild<QPushButton>(*window, "nextButton")->click();
    // The excursion with a margin of half its length (at least 8 MA) on either side.
    EXPECT_NEAR(TimeUnder(plot, layout::kValueAxisWidth), 16 + 106 / 256.0, 1 / 256.0);
    EXPECT_NEAR(TimeUnder(plot, layout::kValueAxisWidth + TraceWidth(plot->canvas()->width())), 16 + 146 / 256.0,
                1 / 256.0);
}

// "Add to plot" draws #106 over #140 in one plot, with its own header line; a Shift-click sets
// the second cursor, and the read-outs give both places and samples and the differences; Esc
// clears it, and "Remove ... from plot" takes #106 off the display.
TEST_F(TimeLineWindowTest, AChannelAddedToAPlotIsDrawnOverItAndTheSecondCursorMeasures) {
    TimeLinePlot* plot = ShowTemperatureOnly();
    PlotCanvas* canvas = plot->canvas();
    TimeUnder(plot, 300);  // the plot the mouse was last over is the one added to
    list->setCurrentItem(list->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
    FormChild<QAction>(*window, "addToPlotAction")->trigger();
    EXPECT_EQ(plot->channels(), (std::vector<int32_t>{0x140, 0x106}));
    EXPECT_EQ(Stacked(splitter), std::vector<QWidget*>{plot});
    EXPECT_TRUE(list->topLevelItem(0)->isSelected());
    ASSERT_TRUE(QTest::qWaitFor([&] { return plot->traces().size() == 2; }, 10000));
    EXPECT_EQ(canvas->picture().overlays.size(), 1u);
    EXPECT_EQ(FormChild<QLabel>(*plot, "statisticsLabel106")->text().left(9), "Count 32 ");
    EXPECT_EQ(canvas->traceWidth(), TraceWidth(canvas->width()) - RightAxesRoom(2));

    const TimeRange all = AllOf140();  // #106 lies within #140's orbits
    const auto x = [&](double time) {
        return layout::kValueAxisWidth + static_cast<int>(std::lround(PixelOf(all, time, canvas->traceWidth())));
    };
    const double second = 16.25, cursor = 17 + 160 / 256.0;
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier, QPoint(x(second), 100));
    QTest::mouseMove(canvas, QPoint(x(cursor), 100));
    const std::string text = readout->text().toStdString();
    const size_t at = text.find("Second cursor: Orbit 16  MA ");
    ASSERT_NE(at, std::string::npos) << text;
    int orbits = -1, ma = -1;
    ASSERT_EQ(std::sscanf(text.c_str() + text.find("Difference "), "Difference +%d orbit %d MA", &orbits, &ma), 2)
        << text;
    EXPECT_EQ(orbits, 1);
    EXPECT_NEAR(ma, 96, 2);

    const auto sampleAt = [&](double time) {
        const auto samples = Samples(time, time);
        EXPECT_EQ(samples.size(), 1u) << time;
        std::string value;
        AppendShortestFloat(value, samples.at(0).first.value);
        return std::pair(value, samples.at(0).first.value);
    };
    const auto [cursorText, cursorValue] = sampleAt(cursor);
    const auto [secondText, secondValue] = sampleAt(second);
    EXPECT_EQ(FormChild<QLabel>(*plot, "sampleLabel")->text().toStdString(),
              cursorText + " at 17/160 in c.dat   second " + secondText + " at 16/64 in a.dat, difference " +
                  ValueDeltaText(secondValue, cursorValue));
    EXPECT_NE(FormChild<QLabel>(*plot, "sampleLabel106")->text().indexOf(" in d.dat   second "), -1);

    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::mouseMove(canvas, QPoint(x(cursor) + 1, 100));
    EXPECT_EQ(readout->text().indexOf("Second cursor"), -1);
    EXPECT_EQ(FormChild<QLabel>(*plot, "sampleLabel")->text().indexOf("second"), -1);

    // The CSV of the plot: a column for each channel, a row for each of #140's 96 times, which
    // #106's fall on.
    notifier.savePaths = {(dir / "both.csv").string()};
    plot->saveCsvAction()->trigger();
    const std::string csv = ReadText(dir / "both.csv");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "orbit,ma,#140  Temp - SEU  (Deg.C),\"#106  I-Bat, Tot Bat Amps  (Amps)\"");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 97);

    FormChild<QAction>(*plot, "removeAction106")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return plot->channels() == std::vector<int32_t>{0x140}; }, 10000));
    EXPECT_FALSE(list->topLevelItem(0)->isSelected());
    EXPECT_EQ(Stacked(splitter), std::vector<QWidget*>{plot});
}

// A channel dropped on a plot is drawn in it, once; a click in the list selects one channel alone.
TEST_F(TimeLineWindowTest, AChannelDroppedOnAPlotIsDrawnInItAndAClickSelectsOneAlone) {
    TimeLinePlot* plot = ShowTemperatureOnly();
    QMimeData data;
    data.setData(kChannelMimeType, "262");  // #106
    const auto drop = [&] {
        QDragEnterEvent enter(QPoint(200, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(plot, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(200, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(plot, &dropped);
        return true;
    };
    EXPECT_TRUE(drop());
    EXPECT_EQ(plot->channels(), (std::vector<int32_t>{0x140, 0x106}));
    EXPECT_FALSE(drop());

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->topLevelItem(0)).center());
    EXPECT_TRUE(list->topLevelItem(0)->isSelected());
    EXPECT_FALSE(list->topLevelItem(1)->isSelected());
    ASSERT_EQ(window->plots().size(), 1u);
    EXPECT_EQ(window->plots()[0]->channels(), std::vector<int32_t>{0x106});
}

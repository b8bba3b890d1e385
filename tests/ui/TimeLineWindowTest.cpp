// The time line window over a real archive, driven through its widgets and the mouse: the
// channel list and the plots, zoom by wheel and rectangle, the break between blocks that do
// not join, the statistics and the read-out against the archive's samples, and the files saved.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSignalSpy>
#include <QSplitter>
#include <QTreeWidget>
#include <QWheelEvent>
#include <cmath>

#include "Process.h"
#include "UiTestSupport.h"
#include "archive/Archive.h"
#include "core/CsvText.h"
#include "timeline/TimeLinePicture.h"
#include "ui/GraphWindow.h"
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
        EXPECT_TRUE(QTest::qWaitFor([&] { return plot && plot->Trace(); }, 10000));
        return plot;
    }

    // The archive's samples of #140 within [from, to].
    std::vector<std::pair<archive::SeriesSample, std::string>> Samples(double from, double to) {
        archive::Archive archive(location, archive::Archive::Access::Read);
        std::vector<std::pair<archive::SeriesSample, std::string>> samples;
        archive.ForEachSample(0x140, {}, archive::ChannelTranslation(0x140, std::nullopt),
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
               static_cast<int>(std::lround(PixelOf(view, time, TraceWidth(plot->Canvas()->width()))));
    }

    double TimeUnder(TimeLinePlot* plot, int x) {
        QTest::mouseMove(plot->Canvas(), QPoint(x, 100));
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return temperature->Trace() && battery106->Trace(); }, 10000));
    EXPECT_EQ(FormChild<QLabel>(*temperature, "statisticsLabel")->text().left(9), "Count 96 ");

    temperature->MoveUpAction()->trigger();
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

    Wheel(plot->Canvas(), x, 120);
    EXPECT_EQ(TimeUnder(plot, x), under);
    EXPECT_NEAR(TimeUnder(plot, x + 300) - under, farBefore / 1.25, 2 / 256.0);

    // A rectangle from 16/064 to 16/192 across the plot's whole height: its edges become the view's.
    const TimeRange zoomed = ZoomedAround(all, under, 1.25);
    DragRectangle(plot->Canvas(), QPoint(PixelAt(plot, zoomed, 16.25), 100), QPoint(PixelAt(plot, zoomed, 16.75), 101));
    EXPECT_NEAR(TimeUnder(plot, layout::kValueAxisWidth), 16.25, 2 / 256.0);
    EXPECT_NEAR(TimeUnder(plot, layout::kValueAxisWidth + TraceWidth(plot->Canvas()->width())), 16.75, 2 / 256.0);

    QTest::keyClick(window.get(), Qt::Key_Home);
    EXPECT_EQ(TimeUnder(plot, x), under);
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
    QTest::mouseDClick(plot->Canvas(), Qt::LeftButton, Qt::NoModifier, QPoint(PixelAt(plot, all, fifth) - 1, 100));
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.at(0).at(0).toString().toStdString(), (dir / "c.dat").string());

    // Zoomed from the gap before C to the end: the statistics are C's.
    const int right = layout::kValueAxisWidth + TraceWidth(plot->Canvas()->width());
    DragRectangle(plot->Canvas(), QPoint(right, 100), QPoint(PixelAt(plot, all, 17.25), 101));
    expectStatistics(17.25, 100);
}

TEST_F(TimeLineWindowTest, BlocksThatDoNotJoinAreDrawnWithABreak) {
    TimeLinePlot* plot = ShowTemperatureOnly();
    const TimeRange all = AllOf140();
    const QImage canvas = plot->Canvas()->grab().toImage();
    const Colour c = plot->Canvas()->Picture().colour;
    const QRgb trace = qRgb(c.r, c.g, c.b);
    const auto traceIn = [&](int x) {
        for (int y = layout::kTopMargin; y < canvas.height() - layout::kBottomMargin; ++y)
            if (canvas.pixel(x, y) == trace) return true;
        return false;
    };
    // B's last sample at 16/252 and C's first at 17/128: nothing drawn between them.
    for (int x = PixelAt(plot, all, 16 + 252 / 256.0) + 2; x <= PixelAt(plot, all, 17.5) - 2; ++x)
        EXPECT_FALSE(traceIn(x)) << x;
    // A's last sample at 16/124 joins B's first at 16/128; within C the samples join too.
    for (int x = PixelAt(plot, all, 16 + 124 / 256.0); x <= PixelAt(plot, all, 16.5); ++x) EXPECT_TRUE(traceIn(x)) << x;
    for (int x = PixelAt(plot, all, 17.5); x <= PixelAt(plot, all, 17 + 252 / 256.0); ++x) EXPECT_TRUE(traceIn(x)) << x;
}

TEST_F(TimeLineWindowTest, SavesThePictureAndTheSamplesInView) {
    ShowTemperatureOnly();
    notifier.savePaths = {(dir / "line.png").string(), (dir / "line.svg").string(), (dir / "line.pdf").string(),
                          (dir / "line.gif").string(), (dir / "no-folder/line.png").string(),
                          (dir / "line.csv").string()};
    auto* saveImage = FormChild<QPushButton>(*window, "saveImageButton");
    for (int i = 0; i < 5; ++i) QTest::mouseClick(saveImage, Qt::LeftButton);
    QTest::mouseClick(FormChild<QPushButton>(*window, "saveCsvButton"), Qt::LeftButton);

    const TimeLinePicture picture = window->Picture();
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
    EXPECT_EQ(notifier.Texts()[4], "Pictures are saved as .png, .svg or .pdf files, not as " + (dir / "line.gif").string() + ".");
    EXPECT_EQ(notifier.Texts()[6].rfind("Cannot save " + (dir / "no-folder/line.png").string() + ": ", 0), 0u);
    // The dialogs start in the folder of the last file saved.
    const std::string imageFilters = "|PNG image (*.png);;SVG picture (*.svg);;PDF document (*.pdf)";
    EXPECT_EQ(notifier.Texts()[0], "Save Image|time-line.png" + imageFilters);
    EXPECT_EQ(notifier.Texts()[1], "Save Image|" + (dir / "time-line.png").string() + imageFilters);
    EXPECT_EQ(notifier.Texts()[7], "Save CSV of #140  Temp - SEU  (Deg.C)|" + (dir / "time-line-140.csv").string() + "|CSV file (*.csv)");

    // Every sample is in view: the CSV is what the series command writes.
    const auto series = RunProcess(KELVAROX_CLI, {"series", "--database", location, "#140"});
    ASSERT_EQ(series.status, 0) << series.err;
    EXPECT_EQ(ReadText(dir / "line.csv"), series.out);
}

TEST(TimeLineProgram, MenuTimeLineShowsTheImportedDirectoryAndADoubleClickOpensTheBlock) {
    TestProgram p;
    // The archive where the program keeps it, in a folder of the test's own.
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString((p.home / "data").string()));
    qunsetenv("KELVAROX_DATABASE");
    p.AddBlock("c.dat", Run32("0140", 0x11, 0x80, 90, 1));
    WriteBytes(p.telemetry / "short.dat", std::vector<uint8_t>(100, 'W'));
    p.NameTelemetryDirectory();
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Archive: added 1, already stored 0, failed 1"; }, 10000))
        << status->text().toStdString();
    TimeLinePlot* plot = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (plot = window->findChild<TimeLinePlot*>("plot140")) && plot->Trace(); },
                                10000));

    // A double-click loads the block of the nearest sample and graphs it, as a drop does.
    QTest::mouseDClick(plot->Canvas(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 100));
    EXPECT_EQ(MainForm(app.Main()).nameEdit->text(), "Temp - SEU");
    EXPECT_TRUE(app.Graph().isVisible());
    EXPECT_EQ(app.State().BlockFilePath, (p.telemetry / "c.dat").string());
}

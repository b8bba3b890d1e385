#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include "ErrorOf.h"
#include "GraphFixtures.h"
#include "UiTestSupport.h"
#include "core/Errors.h"
#include "core/GraphPicture.h"
#include "render/GraphPainter.h"
#include "render/TextCodec.h"
#include "ui/GraphImage.h"
#include "ui/GraphWindow.h"
#include "ui/MainWindow.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

// A graph window over a program state and a settings file of its own.
struct GraphWindowFixture {
    TempDir home;
    SettingsStore store{(home / "user.reg").string()};
    RecordingNotifier notifier;
    ProgramState state;
    std::unique_ptr<GraphWindow> window;
    std::unique_ptr<GraphForm> widgets;

    explicit GraphWindowFixture(const BlockState& s = StateWithSamples({4, 16, 10, 7}))
        : state(ProgramStart{{}, {}, 0, s.displayScale}) {
        state.PutBlock(s.block, s.header);
        window = std::make_unique<GraphWindow>(state, store, notifier);
        widgets = std::make_unique<GraphForm>(*window);
    }
    const GraphForm& form() const { return *widgets; }
    const GraphScene& scene() const { return window->scene(); }
    std::string Text(GraphText which) const { return scene().Text(which); }
    QImage Canvas() { return scene().Canvas(); }
    // The canvas steps of a picture painted on an image of its own, as the window's image
    // must show them.
    QImage Painted(const GraphPicture& picture) {
        QImage image(Canvas().size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        GraphStepPainter canvas(painter);
        for (const DrawStep& step : picture.steps) canvas.Paint(step);
        return image;
    }
    // Texts of the labels a drawing sets, in the order of GraphLabel.
    std::vector<std::string> LabelTexts() {
        std::vector<std::string> texts;
        for (int label = 0; label <= static_cast<int>(GraphLabel::EndDate); ++label)
            texts.push_back(Text(TextOf(static_cast<GraphLabel>(label))));
        return texts;
    }
    CursorReadout MoveMouse(int x, int y) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), form().graphImage->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form().graphImage, &move);
        return {Text(GraphText::OrbitMA), Text(GraphText::Value)};
    }
};

std::string Geometry(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
           std::to_string(r.height());
}
std::string Geometry(const QWidget* w) { return Geometry(w->geometry()); }

std::string FontOf(const QFont& font) {
    return std::to_string(font.pixelSize()) + (font.bold() ? " bold" : " regular");
}

}  // namespace

TEST(GraphWindow, HasItsForm) {
    GraphWindowFixture f;
    GraphWindow& w = *f.window;
    const GraphForm& ui = f.form();
    const GraphScene& s = f.scene();
    EXPECT_EQ(w.windowTitle().toStdString(), " Kelvarox - Tarvane  /  Qarn");
    EXPECT_EQ(w.size(), QSize(719, 402));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.parentWidget(), nullptr);  // its own taskbar entry, owned by no other window
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Geometry(ui.graphImage), "8,2 706x368");
    EXPECT_TRUE(ui.graphImage->hasMouseTracking());
    EXPECT_EQ(s.CanvasPlace(), ui.graphImage->geometry());

    // A level label keeps its right edge when its text is wider than the form's 32 pixels.
    EXPECT_EQ(s.Place(GraphText::Level4).bottomRight(), QPoint(43, 42));
    EXPECT_EQ(s.Place(GraphText::Level0).bottomRight(), QPoint(44, 321));
    EXPECT_EQ(Geometry(s.Place(GraphText::Unit)), "4,131 52x28");  // wraps instead
    EXPECT_EQ(FontOf(s.Font(GraphText::Level0)), "11 regular");
    EXPECT_EQ(FontOf(s.Font(GraphText::Level1)), "11 regular");
    EXPECT_EQ(FontOf(s.Font(GraphText::ChannelName)), "15 bold");
    for (const GraphText text : {GraphText::OrbitMACaption, GraphText::OrbitMA, GraphText::ValueCaption,
                                 GraphText::Value, GraphText::Unit, GraphText::StartOrbit})
        EXPECT_EQ(FontOf(s.Font(text)), "12 bold") << static_cast<int>(text);
    EXPECT_EQ(FontOf(s.Font(GraphText::EndOrbit)), "11 bold");
    EXPECT_EQ(FontOf(s.Font(GraphText::StartDate)), "13 bold");
    EXPECT_EQ(FontOf(s.Font(GraphText::EndDate)), "13 bold");
    EXPECT_EQ(f.Text(GraphText::OrbitMACaption), "Orb/MA:");
    EXPECT_EQ(f.Text(GraphText::ValueCaption), "Value:");
    EXPECT_EQ(f.Text(GraphText::Level4), "Label1");
    EXPECT_EQ(f.Text(GraphText::OrbitMA), "");
    EXPECT_EQ(f.Text(GraphText::Value), "");
}

TEST(GraphWindow, GraphDrawsItsStepsInOrderLabelsAndShows) {
    GraphWindowFixture f;
    f.window->drawGraph(IdentityBoxes());

    // The window's image is the composed drawing, painted step by step in its order.
    BlockState copy = StateWithSamples({4, 16, 10, 7});
    const std::optional<GraphPicture> picture = BuildGraphPicture(copy, IdentityBoxes());
    ASSERT_EQ(picture->steps.size(), 51u);
    EXPECT_EQ(DescribeStep(picture->steps.front()), "Clear 0,0 706,368");
    EXPECT_EQ(DescribeStep(picture->steps.back()), "ShowWindow");
    EXPECT_EQ(f.Canvas(), f.Painted(*picture));

    EXPECT_TRUE(f.window->isVisible());
    EXPECT_EQ(f.LabelTexts(),
              (std::vector<std::string>{"Temp - SEU", "Deg C", "4.0", "7.0", "10.0", "13.0", "16.0", "Orbit# 60",
                                        "Orbit# 60", "Start Date: 2002/01/01", "End Date: 2002/01/02"}));
    const QImage canvas = f.Canvas();
    EXPECT_EQ(canvas.pixel(150, 33), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(300, 312), qRgb(128, 128, 128));
    EXPECT_EQ(canvas.pixel(600, 100), qRgb(255, 255, 255));
    // The labels lie on top of the image: a level's text shows where the canvas is white.
    const QRect level = f.scene().Place(GraphText::Level2);
    const QRect canvasPlace = f.scene().CanvasPlace();
    ASSERT_TRUE(canvasPlace.contains(level));
    const QImage shown = f.window->grab().toImage();
    int dark = 0, white = 0;
    for (int y = level.top(); y <= level.bottom(); ++y)
        for (int x = level.left(); x <= level.right(); ++x) {
            dark += qGray(shown.pixel(x, y)) < 128;
            white += canvas.pixel(x - canvasPlace.x(), y - canvasPlace.y()) == qRgb(255, 255, 255);
        }
    EXPECT_GT(dark, 0);
    EXPECT_EQ(white, level.width() * level.height());

    // The read-out: x 365 is nearest to sample 2 (MA 128), y 172 stands for 10.0.
    EXPECT_EQ(f.MoveMouse(365, 172), (CursorReadout{"60/128", "10.0"}));
    EXPECT_EQ(f.MoveMouse(365, 20), CursorReadout{});
    // A later Load changes nothing the read-out uses; only the next Graph does.
    BlockHeader later = f.state.Loaded().header;
    later.startOrbit = 900;
    later.lastSampleIndex = 0;
    f.state.PutBlock(f.state.Loaded().block, later);
    EXPECT_EQ(f.MoveMouse(675, 33), (CursorReadout{"60/192", "16.0"}));
}

TEST(GraphWindow, SecondGraphUsesTheBoxesAndAnEmptyBoxKeepsItsCoefficient) {
    GraphWindowFixture f;
    f.window->drawGraph(IdentityBoxes());
    ChannelBoxTexts boxes = IdentityBoxes();
    boxes.c = "2";  // values 8 to 32
    f.window->drawGraph(boxes);
    EXPECT_EQ(f.Text(GraphText::Level4), "32.0");
    EXPECT_EQ(f.Text(GraphText::Level0), "8.0");
    BlockState copy = StateWithSamples({4, 16, 10, 7});
    const QImage doubled = f.Canvas();
    EXPECT_EQ(doubled, f.Painted(*BuildGraphPicture(copy, boxes)));

    boxes.c = "";
    f.window->drawGraph(boxes);
    EXPECT_EQ(f.state.GraphAndTable().currentCoefficients.c, 2.0f);
    EXPECT_EQ(f.Text(GraphText::Level4), "32.0");
    EXPECT_EQ(f.Canvas(), doubled);
}

TEST(GraphWindow, FailingBoxLeavesThePictureAndLabels) {
    GraphWindowFixture f;
    f.window->drawGraph(IdentityBoxes());
    const QImage before = f.Canvas();
    const auto labels = f.LabelTexts();

    const std::pair<void (*)(ChannelBoxTexts&), std::string> failures[] = {
        {[](ChannelBoxTexts& b) { b.b = "1..5"; }, "'1..5' is not a valid floating point value"},
        {[](ChannelBoxTexts& b) { b.number = "#XYZ"; }, "'0xXYZ' is not a valid integer value"},
        {[](ChannelBoxTexts& b) { b.orbitHiByte = "1A"; }, "'1A' is not a valid integer value"},
    };
    for (const auto& [spoil, message] : failures) {
        ChannelBoxTexts boxes = IdentityBoxes();
        boxes.c = "3";
        spoil(boxes);
        EXPECT_EQ(ErrorOf([&] { f.window->drawGraph(boxes); }), message);
        EXPECT_EQ(f.Canvas(), before);
        EXPECT_EQ(f.LabelTexts(), labels);
    }

    // A block without signature: nothing happens at all.
    WodBlock spoilt = f.state.Loaded().block;
    spoilt.bytes[3] = 'w';
    f.state.PutBlock(spoilt, f.state.Loaded().header);
    f.window->hide();
    f.window->drawGraph(IdentityBoxes());
    EXPECT_FALSE(f.window->isVisible());
    EXPECT_EQ(f.Canvas(), before);
    EXPECT_EQ(f.LabelTexts(), labels);
}

TEST(GraphWindow, GraphRestoresTheMinimizedWindowAndCloseHidesAndSaves) {
    GraphWindowFixture f;
    f.window->drawGraph(IdentityBoxes());
    f.window->showMinimized();
    ASSERT_TRUE(f.window->isMinimized());
    f.window->drawGraph(IdentityBoxes());
    EXPECT_FALSE(f.window->isMinimized());
    EXPECT_TRUE(f.window->isVisible());

    f.window->move(130, 70);
    EXPECT_TRUE(f.window->close());
    EXPECT_FALSE(f.window->isVisible());
    const std::string saved = ReadText(f.home / "user.reg");
    EXPECT_NE(saved.find("\"Form2 Top\"=\"" + std::to_string(f.window->pos().y()) + "\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"Form2 Left\"=\"" + std::to_string(f.window->pos().x()) + "\""), std::string::npos);

    // The next window created over the same settings comes up where this one was.
    GraphWindowFixture g;
    WriteText(g.home / "user.reg", saved);
    GraphWindow restored(g.state, g.store, g.notifier);
    EXPECT_EQ(restored.pos(), f.window->pos());
}

TEST(GraphWindow, APositionThatCannotBeStoredIsReportedAndTheWindowClosesAllTheSame) {
    GraphWindowFixture f;
    f.window->drawGraph(IdentityBoxes());
    WriteText(f.home / "user.reg", "not a settings text\r\n");
    EXPECT_TRUE(f.window->close());
    EXPECT_FALSE(f.window->isVisible());
    EXPECT_EQ(f.notifier.Texts(), (std::vector<std::string>{"Failed to set data for 'Form2 Top'"}));
}

TEST(GraphWindow, DisplayScaleScalesTheFormAndTheDrawing) {
    BlockState state = StateWithSamples({4, 16, 10, 7});
    state.displayScale = 1.25f;
    GraphWindowFixture f(state);
    EXPECT_EQ(f.window->size(), QSize(898, 502));
    EXPECT_EQ(Geometry(f.form().graphImage), "10,2 882x460");
    EXPECT_EQ(f.scene().Place(GraphText::ChannelName).topLeft(), QPoint(101, 6));
    EXPECT_EQ(FontOf(f.scene().Font(GraphText::ChannelName)), "18 bold");
    f.window->drawGraph(IdentityBoxes());
    // Sample 1 at design (55..261, 33) is drawn at (68..326, 41).
    EXPECT_EQ(f.Canvas().pixel(200, 41), qRgb(0, 0, 0));
    EXPECT_EQ(f.Canvas().pixel(200, 33), qRgb(255, 255, 255));
    // Pixel 585 is design x 468, sample 2.
    EXPECT_EQ(f.MoveMouse(585, 100).orbitMA, "60/128");
}

TEST(GraphWindow, TheMainWindowsGraphButtonDrawsTheLoadedBlock) {
    TestProgram p;
    const BlockRecipe recipe = FourSampleBlockRecipe();
    const std::string path = p.AddBlock("four.dat", recipe);
    p.NameTelemetryDirectory();
    KelvaroxApplication& app = p.Start();
    app.State().SelectBlockFile(path);
    const MainForm main(app.Main());
    app.Main().load();
    ASSERT_TRUE(main.graphButton->isEnabled());

    QTest::mouseClick(main.graphButton, Qt::LeftButton);
    GraphWindow& graph = app.Graph();
    EXPECT_TRUE(graph.isVisible());
    EXPECT_EQ(graph.scene().Text(GraphText::ChannelName), FromQt(main.nameEdit->text()));
    EXPECT_EQ(graph.scene().Text(GraphText::Level4), "16.0");
    EXPECT_EQ(graph.scene().Canvas().pixel(400, 172), qRgb(0, 0, 0));

    // A coefficient box that is no number: the error report, and the picture stays.
    const QImage before = graph.scene().Canvas();
    main.coefficientCEdit->setText(QStringLiteral("2-"));
    QTest::mouseClick(main.graphButton, Qt::LeftButton);
    ASSERT_FALSE(p.notifier.boxes.empty());
    EXPECT_EQ(p.notifier.boxes.back(), (RecordingNotifier::Box{"error", "'2-' is not a valid floating point value."}));
    EXPECT_EQ(graph.scene().Canvas(), before);
}

TEST(GraphWindow, SaveImageAndCopyGiveTheClientAreaAsPngOrSvg) {
    GraphWindowFixture f;
    f.window->drawGraph(IdentityBoxes());
    EXPECT_EQ(f.window->contextMenuPolicy(), Qt::ActionsContextMenu);
    QStringList menu;
    for (const QAction* action : f.window->actions()) menu.push_back(action->text());
    EXPECT_EQ(menu, (QStringList{"Save Image...", "Copy"}));

    const auto png = f.home / "graph.png", svg = f.home / "graph.svg", pdf = f.home / "graph.pdf";
    f.notifier.savePaths = {png.string(), svg.string(), pdf.string()};
    auto* save = FormChild<QAction>(*f.window, "saveImageAction");
    for (int i = 0; i < 3; ++i) save->trigger();
    const QImage shown = f.window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(QImage(QString::fromStdString(png.string())).convertToFormat(QImage::Format_RGB32), shown);
    // The SVG draws the trace as lines, with the labels' texts.
    const std::string vector = ReadText(svg);
    EXPECT_NE(vector.find("<svg"), std::string::npos);
    EXPECT_EQ(vector.find("<image"), std::string::npos);
    EXPECT_NE(vector.find("Temp - SEU"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(f.notifier.Texts().back(), "Pictures are saved as .png or .svg files, not as " + pdf.string() + ".");

    FormChild<QAction>(*f.window, "copyAction")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), shown);
}

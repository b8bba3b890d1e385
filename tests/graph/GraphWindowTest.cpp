#include <gtest/gtest.h>

#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include "GraphFixtures.h"
#include "UiTestSupport.h"
#include "core/Errors.h"
#include "core/GraphAction.h"
#include "ui/GraphImage.h"
#include "ui/Wod_1.h"
#include "ui/Wod_2.h"
#include "ui_Wod_1.h"
#include "ui_Wod_2.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

// A graph window over a program state and a settings file of its own.
struct GraphWindowFixture {
    TempDir home;
    SettingsStore store{(home / "user.reg").string()};
    RecordingNotifier notifier;
    ProgramState state;
    std::unique_ptr<TWod2> window;
    std::vector<std::string> drawn;

    explicit GraphWindowFixture(ProgramState s = StateWithSamples({4, 16, 10, 7})) : state(std::move(s)) {
        window = std::make_unique<TWod2>(state, store, notifier);
        window->drawObserver = [this](const DrawStep& step) { drawn.push_back(DescribeStep(step)); };
    }
    Ui::TWod2& form() { return window->Form(); }
    std::string Text(QLabel* label) const { return label->text().toStdString(); }
    QImage Canvas() { return form().Image1->Canvas(); }
    // Texts of the labels a drawing sets, in the order of GraphLabel.
    std::vector<std::string> LabelTexts() {
        std::vector<std::string> texts;
        for (QLabel* l : {form().Label1, form().Label2, form().Label3, form().Label4, form().Label5, form().Label6,
                          form().Label7, form().Label8, form().Label9, form().Label13, form().Label18})
            texts.push_back(Text(l));
        return texts;
    }
    CursorReadout MoveMouse(int x, int y) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), form().Image1->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form().Image1, &move);
        return {Text(form().Label15), Text(form().Label17)};
    }
};

std::string Geometry(const QWidget* w) {
    const QRect r = w->geometry();
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
           std::to_string(r.height());
}

std::string FontOf(const QWidget* w) {
    return std::to_string(w->font().pixelSize()) + (w->font().bold() ? " bold" : " regular");
}

}  // namespace

TEST(GraphWindow, HasItsForm) {
    GraphWindowFixture f;
    TWod2& w = *f.window;
    const Ui::TWod2& ui = f.form();
    EXPECT_EQ(w.windowTitle().toStdString(), " Kelvarox - Tarvane  /  Qarn");
    EXPECT_EQ(w.size(), QSize(719, 402));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.parentWidget(), nullptr);  // its own taskbar entry, owned by no other window
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Geometry(ui.Image1), "8,2 706x368");
    EXPECT_TRUE(ui.Image1->hasMouseTracking());
    // The labels lie on top of the image.
    EXPECT_GT(w.children().indexOf(ui.Label7), w.children().indexOf(ui.Image1));

    // A level label keeps its right edge when its text is wider than the form's 32 pixels.
    EXPECT_EQ(ui.Label1->geometry().bottomRight(), QPoint(43, 42));
    EXPECT_EQ(ui.Label3->geometry().bottomRight(), QPoint(44, 321));
    EXPECT_EQ(Geometry(ui.Label13), "4,131 52x28");  // wraps instead
    EXPECT_EQ(FontOf(&w), "11 regular");
    EXPECT_EQ(FontOf(ui.Label9), "11 regular");
    EXPECT_EQ(FontOf(ui.Label7), "15 bold");
    for (const QLabel* label : {ui.Label14, ui.Label15, ui.Label16, ui.Label17, ui.Label13, ui.Label5})
        EXPECT_EQ(FontOf(label), "12 bold") << label->objectName().toStdString();
    EXPECT_EQ(FontOf(ui.Label18), "11 bold");
    EXPECT_EQ(FontOf(ui.Label4), "13 bold");
    EXPECT_EQ(FontOf(ui.Label6), "13 bold");
    EXPECT_EQ(f.Text(ui.Label14), "Orb/MA:");
    EXPECT_EQ(f.Text(ui.Label16), "Value:");
    EXPECT_EQ(f.Text(ui.Label1), "Label1");
    EXPECT_EQ(f.Text(ui.Label15), "");
    EXPECT_EQ(f.Text(ui.Label17), "");
}

TEST(GraphWindow, GraphDrawsItsStepsInOrderLabelsAndShows) {
    GraphWindowFixture f;
    f.window->GraphAction(IdentityBoxes());

    // The window executes the composed drawing step by step, in its order.
    ProgramState copy = StateWithSamples({4, 16, 10, 7});
    const std::optional<GraphPicture> picture = BuildGraphPicture(copy, IdentityBoxes());
    std::vector<std::string> composed;
    for (const DrawStep& s : picture->steps) composed.push_back(DescribeStep(s));
    EXPECT_EQ(f.drawn, composed);
    ASSERT_EQ(f.drawn.size(), 51u);
    EXPECT_EQ(f.drawn.front(), "Clear 0,0 706,368");
    EXPECT_EQ(f.drawn.back(), "ShowWindow");

    EXPECT_TRUE(f.window->isVisible());
    EXPECT_EQ(f.LabelTexts(), (std::vector<std::string>{"16.0", "10.0", "4.0", "Start Date: 2002/01/01", "Orbit# 60",
                                                        "End Date: 2002/01/02", "Temp - SEU", "13.0", "7.0", "Deg C",
                                                        "Orbit# 60"}));
    const QImage canvas = f.Canvas();
    EXPECT_EQ(canvas.pixel(150, 33), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(300, 312), qRgb(128, 128, 128));
    EXPECT_EQ(canvas.pixel(600, 100), qRgb(255, 255, 255));

    // The read-out: x 365 is nearest to sample 2 (MA 128), y 172 stands for 10.0.
    EXPECT_EQ(f.MoveMouse(365, 172), (CursorReadout{"60/128", "10.0"}));
    EXPECT_EQ(f.MoveMouse(365, 20), CursorReadout{});
    // A later Load changes nothing the read-out uses; only the next Graph does.
    f.state.Header.StartOrbit = 900;
    f.state.Header.LastSampleIndex = 0;
    EXPECT_EQ(f.MoveMouse(675, 33), (CursorReadout{"60/192", "16.0"}));
}

TEST(GraphWindow, SecondGraphUsesTheBoxesAndAnEmptyBoxKeepsItsCoefficient) {
    GraphWindowFixture f;
    f.window->GraphAction(IdentityBoxes());
    MainBoxTexts boxes = IdentityBoxes();
    boxes.c = "2";  // values 8 to 32
    f.drawn.clear();
    f.window->GraphAction(boxes);
    EXPECT_EQ(f.Text(f.form().Label1), "32.0");
    EXPECT_EQ(f.Text(f.form().Label3), "8.0");
    EXPECT_EQ(f.drawn[19], "SetLabel Label1 32.0");
    const QImage doubled = f.Canvas();

    boxes.c = "";
    f.window->GraphAction(boxes);
    EXPECT_EQ(f.state.CurrentCoefficients.c, 2.0f);
    EXPECT_EQ(f.Text(f.form().Label1), "32.0");
    EXPECT_EQ(f.Canvas(), doubled);
}

TEST(GraphWindow, FailingBoxLeavesThePictureAndLabels) {
    GraphWindowFixture f;
    f.window->GraphAction(IdentityBoxes());
    const QImage before = f.Canvas();
    const auto labels = f.LabelTexts();
    f.drawn.clear();

    const std::pair<void (*)(MainBoxTexts&), std::string> failures[] = {
        {[](MainBoxTexts& b) { b.b = "1..5"; }, "'1..5' is not a valid floating point value"},
        {[](MainBoxTexts& b) { b.number = "#XYZ"; }, "'0xXYZ' is not a valid integer value"},
        {[](MainBoxTexts& b) { b.orbitHiByte = "1A"; }, "'1A' is not a valid integer value"},
    };
    for (const auto& [spoil, message] : failures) {
        MainBoxTexts boxes = IdentityBoxes();
        boxes.c = "3";
        spoil(boxes);
        try {
            f.window->GraphAction(boxes);
            ADD_FAILURE() << "no error for " << message;
        } catch (const KelvaroxError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
        EXPECT_TRUE(f.drawn.empty());
        EXPECT_EQ(f.Canvas(), before);
        EXPECT_EQ(f.LabelTexts(), labels);
    }

    // A block without signature: nothing happens at all.
    f.state.Block.bytes[3] = 'w';
    f.window->hide();
    f.window->GraphAction(IdentityBoxes());
    EXPECT_FALSE(f.window->isVisible());
    EXPECT_TRUE(f.drawn.empty());
}

TEST(GraphWindow, GraphRestoresTheMinimizedWindowAndCloseHidesAndSaves) {
    GraphWindowFixture f;
    f.window->GraphAction(IdentityBoxes());
    f.window->showMinimized();
    ASSERT_TRUE(f.window->isMinimized());
    f.window->GraphAction(IdentityBoxes());
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
    TWod2 restored(g.state, g.store, g.notifier);
    EXPECT_EQ(restored.pos(), f.window->pos());
}

TEST(GraphWindow, DisplayScaleScalesTheFormAndTheDrawing) {
    ProgramState state = StateWithSamples({4, 16, 10, 7});
    state.DisplayScale = 1.25f;
    GraphWindowFixture f(std::move(state));
    EXPECT_EQ(f.window->size(), QSize(898, 502));
    EXPECT_EQ(Geometry(f.form().Image1), "10,2 882x460");
    EXPECT_EQ(f.form().Label7->pos(), QPoint(101, 6));
    EXPECT_EQ(FontOf(f.form().Label7), "18 bold");
    f.window->GraphAction(IdentityBoxes());
    // Sample 1 at design (55..261, 33) is drawn at (68..326, 41).
    EXPECT_EQ(f.Canvas().pixel(200, 41), qRgb(0, 0, 0));
    EXPECT_EQ(f.Canvas().pixel(200, 33), qRgb(255, 255, 255));
    // Pixel 585 is design x 468, sample 2.
    EXPECT_EQ(f.MoveMouse(585, 100).orbitMA, "60/128");
}

TEST(GraphWindow, TheMainWindowsGraphButtonDrawsTheLoadedBlock) {
    TestProgram p;
    const BlockSpec spec = FourSampleBlockSpec();
    const std::string path = p.AddBlock("four.dat", spec);
    p.NameTelemetryDirectory();
    KelvaroxApplication& app = p.Start();
    app.State().BlockFilePath = path;
    Ui::TWod1& main = app.MainWindow().Form();
    app.MainWindow().Button2Click();
    ASSERT_TRUE(main.Button1->isEnabled());

    QTest::mouseClick(main.Button1, Qt::LeftButton);
    TWod2& graph = app.GraphWindow();
    EXPECT_TRUE(graph.isVisible());
    EXPECT_EQ(graph.Form().Label7->text(), main.Edit1->text());
    EXPECT_EQ(graph.Form().Label1->text().toStdString(), "16.0");
    EXPECT_EQ(graph.Form().Image1->Canvas().pixel(400, 172), qRgb(0, 0, 0));

    // A coefficient box that is no number: the error report, and the picture stays.
    const QImage before = graph.Form().Image1->Canvas();
    main.Edit7->setText(QStringLiteral("2-"));
    QTest::mouseClick(main.Button1, Qt::LeftButton);
    ASSERT_FALSE(p.notifier.boxes.empty());
    EXPECT_EQ(p.notifier.boxes.back(), (RecordingNotifier::Box{"error", "'2-' is not a valid floating point value."}));
    EXPECT_EQ(graph.Form().Image1->Canvas(), before);
}

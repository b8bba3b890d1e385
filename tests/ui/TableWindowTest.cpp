// The data table window and the main window's Table action, driven through the real windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <functional>

#include "UiTestSupport.h"
#include "core/DataTable.h"
#include "ui/FileListBox.h"
#include "ui/MainWindow.h"
#include "ui/TableWindow.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

const std::string kExampleTable = kExampleTableText;

// A full block: 384 samples from orbit 60, MA 0, to orbit 65, MA 252.
BlockRecipe FullBlock(const std::string& channel, uint8_t firstRaw) {
    std::vector<uint8_t> samples;
    for (int i = 0; i < 384; ++i) samples.push_back(static_cast<uint8_t>(firstRaw + i));
    return RecipeOf(channel, "3C", "00", "41", "FC", "04", std::move(samples));
}

struct TableProgram : TestProgram {
    std::unique_ptr<MainForm> main;
    TableWindow* table = nullptr;
    QPlainTextEdit* memo = nullptr;

    TableProgram() {
        WriteBytes(telemetry / "listed.dat", BuildBlock(BlockRecipe{}));
        NameTelemetryDirectory();
        Start();
        app->Start();
        main = std::make_unique<MainForm>(app->Main());
        // The first listing of the telemetry directory empties the channel boxes when it
        // comes in; it has to be over before a block is loaded.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !main->blockList->names().empty(); }, 5000));
        table = &app->Table();
        memo = TableForm(*table).tableText;
    }

    // Block files lie outside the telemetry directory: a change of the listed directory
    // empties the main window's boxes, which these tests do not want.
    std::string AddBlock(const std::string& name, const BlockRecipe& recipe) {
        std::filesystem::create_directories(home / "blocks");
        WriteBytes(home / "blocks" / name, BuildBlock(recipe));
        return (home / "blocks" / name).string();
    }

    void Load(const std::string& path) {
        app->State().SelectBlockFile(path);
        QTest::mouseClick(main->loadButton, Qt::LeftButton);
    }
    // The Table button, and the event loop until its fill has ended.
    void PressTable() {
        QTest::mouseClick(main->tableButton, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !app || !table->filling(); }, 60000));
    }

    // The whole table of the block and series in memory, as the boxes stand.
    std::string ExpectedTable() {
        const ProgramState& s = app->State();
        return DataTableText(FromBox(main->nameEdit), FromBox(main->channelEdit), s.Loaded().block, s.Loaded().header,
                             s.GraphAndTable().series);
    }
    static std::string FromBox(const QLineEdit* box) { return box->text().toStdString(); }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the text does not end in CR LF";
    return lines;
}

// Runs `action` from the event loop once the table box holds `rows` rows: it comes in at the
// next pause of the fill, as a click of the user would.
void DuringFill(TableProgram& p, int rows, std::function<void()> action) {
    auto fired = std::make_shared<bool>(false);
    QObject::connect(p.memo, &QPlainTextEdit::blockCountChanged, p.memo, [=](int blocks) {
        // Seven heading lines, the rows, and the empty line after the last CR LF.
        if (*fired || blocks < 7 + rows + 1) return;
        *fired = true;
        QMetaObject::invokeMethod(qApp, action, Qt::QueuedConnection);
    });
}

}  // namespace

TEST(TableWindow, HasItsFormAndWritesTheExampleTableByteForByte) {
    TableProgram p;
    TableWindow& w = *p.table;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Data Table  Kelvarox / Qarn "));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.size(), QSize(312, 299));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(w.pos(), QPoint(244, 224));
    EXPECT_EQ(p.memo->geometry(), QRect(8, 8, 297, 281));
    EXPECT_EQ(p.memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(p.memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(p.memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_FALSE(p.memo->isReadOnly());
    const QFontMetrics pitch(p.memo->font());
    EXPECT_EQ(pitch.horizontalAdvance(QLatin1Char('i')), pitch.horizontalAdvance(QLatin1Char('W')));
    EXPECT_EQ(w.tableText(), "Memo1");

    p.main->orbitHiByteEdit->setText("1");
    p.Load(p.AddBlock("example.dat", ExampleTableRecipe()));
    ASSERT_TRUE(p.notifier.boxes.empty());
    EXPECT_EQ(p.main->nameEdit->text(), QStringLiteral("Raw Data"));
    p.PressTable();
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_EQ(w.tableText(), kExampleTable);
    EXPECT_EQ(p.memo->toPlainText().count(QLatin1Char('\n')), 11);  // the box shows the lines
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.filling());

    // Table again over a minimized window: the window comes back and the text does not grow.
    w.showMinimized();
    p.PressTable();
    EXPECT_FALSE(w.isMinimized());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.tableText(), kExampleTable);
    EXPECT_EQ(w.pos(), QPoint(244, 224));
}

TEST(TableWindow, WritesRowsWithTheirPaddingAndTheCoefficientsOfTheBoxes) {
    TableProgram p;
    BlockRecipe recipe = FullBlock("0180", 0);
    recipe.endOrbit = "3C";
    recipe.endMA = "4C";  // samples 0 to 19, MA 000 to 076 of orbit 60
    recipe.samples.resize(20);
    recipe.samples[3] = 0xFF;
    p.Load(p.AddBlock("short.dat", recipe));
    p.PressTable();
    std::vector<std::string> lines = Lines(p.table->tableText());
    ASSERT_EQ(lines.size(), 7u + 20u);
    EXPECT_EQ(lines[7], "   0 ,    60 , 000 , #00 ,   0.0");
    EXPECT_EQ(lines[8], "   1 ,    60 , 004 , #01 ,   1.0");
    EXPECT_EQ(lines[10], "   3 ,    60 , 012 , #FF , 255.0");
    EXPECT_EQ(lines[23], "  16 ,    60 , 064 , #10 ,  16.0");

    // A changed box takes effect in the next table: -1000 + 0.125 * X.
    p.main->coefficientCEdit->setText("0.125");
    p.main->coefficientDEdit->setText("-1000");
    p.PressTable();
    lines = Lines(p.table->tableText());
    ASSERT_EQ(lines.size(), 27u);
    EXPECT_EQ(lines[7], "   0 ,    60 , 000 , #00 , -1000.0");
    EXPECT_EQ(lines[7].size(), 34u);
    EXPECT_EQ(lines[10], "   3 ,    60 , 012 , #FF , -968.1");
    EXPECT_EQ(p.table->tableText(), p.ExpectedTable());

    // An emptied box keeps the coefficient of the table before.
    p.main->coefficientDEdit->clear();
    p.main->coefficientCEdit->setText("-0.5");
    p.PressTable();
    lines = Lines(p.table->tableText());
    EXPECT_EQ(lines[3], " Number: #180");
    EXPECT_EQ(lines[9], "   2 ,    60 , 008 , #02 , -1001.0");
}

TEST(TableWindow, TextsAreLatin1ByteForByte) {
    TableProgram p;
    p.Load(p.AddBlock("example.dat", ExampleTableRecipe()));
    // One byte a character; a character beyond Latin-1 cannot be kept and becomes "?".
    p.main->nameEdit->setText(QString::fromUtf8("Température °C €"));
    p.PressTable();
    EXPECT_EQ(Lines(p.table->tableText())[2],
              " Name: Temp\xE9rature \xB0"
              "C ?");
    EXPECT_TRUE(p.memo->toPlainText().contains(QString::fromUtf8(" Name: Température °C ?")));
}

TEST(TableWindow, BoxesThatDoNotConvertAndBlocksWithoutSamplesOrSignature) {
    TableProgram p;
    // Not a WOD block: Load refuses it, and Table does nothing at all.
    std::vector<uint8_t> noBlock(512, 'x');
    WriteBytes(p.home / "plain.dat", noBlock);
    p.Load((p.home / "plain.dat").string());
    p.notifier.boxes.clear();
    p.app->Main().showTable();
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_FALSE(p.table->isVisible());
    EXPECT_EQ(p.table->tableText(), "Memo1");

    p.Load(p.AddBlock("example.dat", ExampleTableRecipe()));
    p.PressTable();
    const std::string table = p.table->tableText();
    p.table->hide();

    // A coefficient that is no number: the error report, and the box untouched.
    p.main->coefficientBEdit->setText("-");
    p.PressTable();
    EXPECT_EQ(p.notifier.Texts(), (std::vector<std::string>{"'-' is not a valid floating point value."}));
    EXPECT_EQ(p.table->tableText(), table);
    EXPECT_FALSE(p.table->isVisible());
    p.main->coefficientBEdit->setText("0");
    p.main->orbitHiByteEdit->setText("1A");
    p.PressTable();
    EXPECT_EQ(p.notifier.boxes.back().text, "'1A' is not a valid integer value.");
    EXPECT_EQ(p.table->tableText(), table);
    p.main->orbitHiByteEdit->setText("0");

    // End before start: no samples, the heading alone.
    BlockRecipe none = ExampleTableRecipe();
    none.endOrbit = "3C";
    p.Load(p.AddBlock("none.dat", none));
    p.notifier.boxes.clear();
    p.PressTable();
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_EQ(p.table->tableText(), DataTableHeading("Raw Data", "#180"));
    EXPECT_TRUE(p.table->isVisible());
}

TEST(TableWindow, LoadAndTableDuringAFillEndItWithNoRowOfTheOldBlock) {
    TableProgram p;
    const std::string first = p.AddBlock("first.dat", FullBlock("0140", 0));
    const std::string second = p.AddBlock("second.dat", FullBlock("0180", 100));
    p.Load(first);
    p.PressTable();
    const std::string firstTable = p.table->tableText();
    ASSERT_EQ(Lines(firstTable).size(), 7u + 384u);
    EXPECT_EQ(firstTable, p.ExpectedTable());

    // Load and Table of another block while the first table is at row 100 or so.
    std::string secondTable;
    DuringFill(p, 100, [&] {
        EXPECT_TRUE(p.table->filling());
        p.Load(second);
        p.PressTable();
        secondTable = p.ExpectedTable();
    });
    p.PressTable();
    EXPECT_TRUE(p.notifier.boxes.empty());
    ASSERT_FALSE(secondTable.empty()) << "the action did not come in during the fill";
    EXPECT_NE(secondTable, firstTable);
    EXPECT_EQ(p.table->tableText(), secondTable);
    EXPECT_FALSE(p.table->filling());

    // Load alone: the first table stops where it was, after a pause.
    p.Load(first);
    DuringFill(p, 200, [&] { p.Load(second); });
    p.PressTable();
    const std::string cut = p.table->tableText();
    const size_t rows = Lines(cut).size() - 7;
    EXPECT_GT(rows, 200u);
    EXPECT_LT(rows, 384u);
    EXPECT_EQ((rows - 1) % 10, 0u);  // the last row written was the one before a pause
    EXPECT_EQ(firstTable.compare(0, cut.size(), cut), 0);
    EXPECT_EQ(p.main->channelEdit->text(), QStringLiteral("#180"));

    // Graph ends it just as well.
    p.Load(first);
    DuringFill(p, 50, [&] { QTest::mouseClick(p.main->graphButton, Qt::LeftButton); });
    p.PressTable();
    EXPECT_LT(Lines(p.table->tableText()).size(), 7u + 384u);
    EXPECT_FALSE(p.table->filling());
}

TEST(TableWindow, ClosingTheProgramDuringAFillIsSafe) {
    TableProgram p;
    p.Load(p.AddBlock("first.dat", FullBlock("0140", 0)));
    DuringFill(p, 30, [&] { p.app->Main().close(); });
    p.PressTable();
    EXPECT_EQ(p.quitCount, 1);
    EXPECT_LT(Lines(p.table->tableText()).size(), 7u + 384u);
}

TEST(TableWindow, WindowsDestroyedDuringAFillAreNotTouchedAgain) {
    TableProgram p;
    p.Load(p.AddBlock("second.dat", FullBlock("0180", 1)));
    const ChannelBoxTexts boxes = p.app->Main().boxTexts();
    bool destroyed = false;
    DuringFill(p, 20, [&] {
        p.app.reset();
        destroyed = true;
    });
    p.table->showTable(boxes);
    EXPECT_TRUE(QTest::qWaitFor([&] { return destroyed; }, 60000));
}

TEST(TableWindow, SaveAsWritesTheTextAsShownAndCopyAllCopiesIt) {
    TableProgram p;
    p.main->orbitHiByteEdit->setText("1");
    p.Load(p.AddBlock("example.dat", ExampleTableRecipe()));
    p.PressTable();
    ASSERT_EQ(p.table->tableText(), kExampleTable);

    const std::filesystem::path saved = p.home / "table.txt";
    const std::filesystem::path nowhere = p.home / "no-folder" / "table.txt";
    p.notifier.savePaths = {saved.string(), nowhere.string()};
    auto* saveAs = FormChild<QAction>(*p.table, "saveAsAction");
    EXPECT_EQ(saveAs->text(), "Save As...");
    saveAs->trigger();
    saveAs->trigger();
    EXPECT_EQ(ReadText(saved), kExampleTable);
    EXPECT_FALSE(std::filesystem::exists(nowhere.parent_path()));
    ASSERT_EQ(p.notifier.boxes.size(), 3u);
    EXPECT_EQ(p.notifier.boxes[0].text, "Save As|table.txt|Text file (*.txt);;All files (*)");
    EXPECT_EQ(p.notifier.boxes[2].text.rfind("Cannot save " + nowhere.string() + ": ", 0), 0u);

    FormChild<QAction>(*p.table, "copyAllAction")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), p.memo->toPlainText());
    EXPECT_EQ(QGuiApplication::clipboard()->text().count(QLatin1Char('\n')), 11);
}

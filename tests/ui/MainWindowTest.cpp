#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <algorithm>

#include "ScopedEnv.h"
#include "UiTestSupport.h"
#include "ui/DisplayScale.h"
#include "ui/ErrorReport.h"
#include "ui/FileListBox.h"
#include "ui/GraphWindow.h"
#include "ui/MainWindow.h"
#include "ui/SatelliteDialog.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

const std::string kLength = "File is improper length, must be 512 bytes!!";
const std::string kFormat = "Improper format for WOD data block!";

// A program whose telemetry directory holds a few blocks, started and listed.
struct MainWindowProgram : TestProgram {
    std::unique_ptr<MainForm> form;
    MainWindow* window = nullptr;

    MainWindowProgram() {
        BlockRecipe temperature;
        temperature.channel = "0140";
        temperature.samples = {100, 120, 140};
        AddBlock("b-temperature.dat", temperature);
        BlockRecipe raw;
        raw.channel = "0180";
        AddBlock("a-raw.TLM", raw);
        WriteBytes(telemetry / "c-short.dat", std::vector<uint8_t>(100, 'W'));
        WriteText(telemetry / "notes.txt", "not a block");
        std::filesystem::create_directory(telemetry / "folder.dat");
        NameTelemetryDirectory();
    }

    void Open() {
        Start();
        app->Start();
        window = &app->Main();
        form = std::make_unique<MainForm>(*window);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !form->blockList->isListing() && !form->blockList->names().empty(); }, 5000));
    }

    void Select(const QString& name) { ASSERT_TRUE(form->blockList->selectName(name)); }

    std::string SettingsText() const { return ReadText(settingsFile); }
};

QStringList Names(const FileListBox& list) { return list.names(); }

}  // namespace

TEST(MainWindow, StartsWithItsFormTheBlockFilesAndTheStoredValues) {
    MainWindowProgram p;
    p.Open();
    MainWindow& w = *p.window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral(" Kelvarox Decoder / Qarn"));
    EXPECT_EQ(p.form->centralwidget->size(), QSize(388, 226));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());  // fixed size
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(w.pos(), QPoint(20, 20));
    EXPECT_EQ(p.form->orbitHiByteEdit->text(), QStringLiteral("0"));
    EXPECT_TRUE(p.form->loadButton->isEnabled());
    EXPECT_FALSE(p.form->graphButton->isEnabled());
    EXPECT_FALSE(p.form->tableButton->isEnabled());
    EXPECT_EQ(p.form->blockList->geometry(), QRect(72, 144, 113, 17));
    EXPECT_EQ(p.form->nameEdit->geometry(), QRect(24, 38, 153, 21));
    EXPECT_EQ(p.form->tableButton->geometry(), QRect(248, 192, 73, 25));
    EXPECT_EQ(p.form->cubeTermLabel->text(), QStringLiteral("*X^3 + "));
    EXPECT_EQ(p.form->cubeTermLabel->font().pixelSize(), 15);
    EXPECT_TRUE(p.form->cubeTermLabel->font().bold());
    EXPECT_EQ(p.form->coefficientDEdit->toolTip(),
              QStringLiteral(" WOD files may be drag/dropped on to main window. "));
    EXPECT_EQ(w.toolTip(), QStringLiteral(" WOD files may be drag/dropped on to main window. "));
    EXPECT_EQ(p.form->menu->title(), QStringLiteral("Menu"));
    QStringList items;
    for (const QAction* item : p.form->menu->actions()) items.push_back(item->text());
    EXPECT_EQ(items, (QStringList{"About", "Setup", "Satellite...", "Time Line", "Exit"}));
    // Block files only, sorted by name whatever their case; no folder, no other extension.
    EXPECT_EQ(Names(*p.form->blockList), (QStringList{"a-raw.TLM", "b-temperature.dat", "c-short.dat"}));
    EXPECT_EQ(p.app->State().TelemetryDirectory(), (p.home / "Trelm").string() + "/telemetry/");
    EXPECT_EQ(p.app->State().Layout(), BlockLayout{});
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_EQ(p.app->State().DisplayScale(), 1.0f);
    EXPECT_EQ(DisplayScaleFor(120), 1.25f);
    EXPECT_EQ(DisplayScaleFor(144), 1.5f);
}

TEST(MainWindow, LoadBeforeAnySelectionGivesBothMessages) {
    MainWindowProgram p;
    p.Open();
    QTest::mouseClick(p.form->loadButton, Qt::LeftButton);
    EXPECT_EQ(p.notifier.Texts(), (std::vector<std::string>{kLength, kFormat}));
    EXPECT_EQ(p.notifier.boxes[0].kind, "information");
    EXPECT_FALSE(p.form->graphButton->isEnabled());
    EXPECT_FALSE(p.form->tableButton->isEnabled());
}

TEST(MainWindow, LoadFillsTheBoxesAndArrowKeysSelectAndEmptyThem) {
    MainWindowProgram p;
    p.Open();
    FileListBox& list = *p.form->blockList;
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Down);  // a-raw.TLM
    QTest::keyClick(&list, Qt::Key_Down);  // b-temperature.dat
    EXPECT_EQ(p.app->State().Loaded().blockFilePath, (p.telemetry / "b-temperature.dat").string());
    QTest::mouseClick(p.form->loadButton, Qt::LeftButton);
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_EQ(p.form->nameEdit->text(), QStringLiteral("Temp - SEU"));
    EXPECT_EQ(p.form->unitEdit->text(), QStringLiteral("Deg.C"));
    EXPECT_EQ(p.form->channelEdit->text(), QStringLiteral("#140"));
    EXPECT_EQ(p.form->coefficientCEdit->text(), QStringLiteral("0.65911"));
    EXPECT_EQ(p.form->coefficientDEdit->text(), QStringLiteral("-69.72"));
    EXPECT_TRUE(p.form->graphButton->isEnabled());
    EXPECT_TRUE(p.form->tableButton->isEnabled());

    // Moving to another file sets the path and empties six boxes; d and the buttons stay.
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(p.app->State().Loaded().blockFilePath, (p.telemetry / "a-raw.TLM").string());
    for (QLineEdit* box : {p.form->nameEdit, p.form->unitEdit, p.form->channelEdit, p.form->coefficientAEdit,
                           p.form->coefficientBEdit, p.form->coefficientCEdit})
        EXPECT_TRUE(box->text().isEmpty()) << box->objectName().toStdString();
    EXPECT_EQ(p.form->coefficientDEdit->text(), QStringLiteral("-69.72"));
    EXPECT_TRUE(p.form->graphButton->isEnabled());
    // The block in memory is still the one loaded.
    EXPECT_EQ(p.app->State().Loaded().header.channel, 0x140);
}

TEST(MainWindow, DoubleClickLoadsAndGraphsOnlyAGoodBlock) {
    MainWindowProgram p;
    p.Open();
    FileListBox& list = *p.form->blockList;
    auto doubleClick = [&](const QString& name) {
        p.Select(name);
        const QModelIndex index = list.currentIndex();
        list.scrollTo(index);
        // A double-click: a click, then the second press that makes it double.
        const QPoint at = list.visualRect(index).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    };
    doubleClick("b-temperature.dat");
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_TRUE(p.app->Graph().isVisible());
    EXPECT_EQ(p.app->State().GraphAndTable().series.count, p.app->State().Loaded().header.SampleCount());

    // A 100-byte file after a good block: the length message, the old block's channel shown
    // again, the buttons disabled, and no graph of the old block.
    p.app->Graph().hide();
    doubleClick("c-short.dat");
    EXPECT_EQ(p.notifier.Texts(), std::vector<std::string>{kLength});
    EXPECT_EQ(p.form->nameEdit->text(), QStringLiteral("Temp - SEU"));
    EXPECT_FALSE(p.form->graphButton->isEnabled());
    EXPECT_FALSE(p.form->tableButton->isEnabled());
    EXPECT_FALSE(p.app->Graph().isVisible());
}

TEST(MainWindow, DroppedFiles) {
    MainWindowProgram p;
    p.Open();
    TempDir elsewhere;
    BlockRecipe recipe;
    recipe.channel = "0171";
    WriteBytes(elsewhere / "BLOCK.TLM", BuildBlock(recipe));
    WriteText(elsewhere / "notes.txt", "text");
    auto drop = [&](const std::vector<std::string>& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const auto& path : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
        data.setUrls(urls);
        // As a drag does it: the window is entered, then the files are dropped.
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(p.window, &enter);
        QDropEvent event(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(p.window, &event);
    };
    p.Select("a-raw.TLM");
    drop({(elsewhere / "notes.txt").string()});
    EXPECT_EQ(p.app->State().Loaded().blockFilePath, (p.telemetry / "a-raw.TLM").string());  // ignored
    EXPECT_TRUE(p.notifier.boxes.empty());

    drop({(elsewhere / "BLOCK.TLM").string(), (p.telemetry / "b-temperature.dat").string()});
    EXPECT_EQ(p.app->State().Loaded().blockFilePath, (elsewhere / "BLOCK.TLM").string());
    EXPECT_EQ(p.form->nameEdit->text(), QStringLiteral("I-SA-1 - BCR - 1"));
    EXPECT_FALSE(p.form->blockList->currentIndex().isValid() &&
                 p.form->blockList->selectionModel()->isSelected(p.form->blockList->currentIndex()));
    EXPECT_TRUE(p.app->Graph().isVisible());
    EXPECT_TRUE(p.notifier.boxes.empty());
}

TEST(MainWindow, KeyFiltersOfTheBoxes) {
    MainWindowProgram p;
    p.Open();
    QLineEdit* hex = p.form->channelEdit;
    QTest::keyClicks(hex, "#1a7Fz");
    EXPECT_EQ(hex->text(), QStringLiteral("#17F"));
    QTest::keyClick(hex, Qt::Key_Backspace);
    EXPECT_EQ(hex->text(), QStringLiteral("#17"));
    QLineEdit* orbit = p.form->orbitHiByteEdit;
    orbit->clear();
    QTest::keyClicks(orbit, "1A b.-");
    EXPECT_EQ(orbit->text(), QStringLiteral("1A"));
    for (QLineEdit* box :
         {p.form->coefficientAEdit, p.form->coefficientBEdit, p.form->coefficientCEdit, p.form->coefficientDEdit}) {
        box->clear();
        QTest::keyClicks(box, "-1.5e+x 2");
        EXPECT_EQ(box->text(), QStringLiteral("-1.52")) << box->objectName().toStdString();
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), QStringLiteral("-1.5"));
    }
    // Cursor keys and Delete still work.
    QTest::keyClick(p.form->coefficientAEdit, Qt::Key_Home);
    QTest::keyClick(p.form->coefficientAEdit, Qt::Key_Delete);
    EXPECT_EQ(p.form->coefficientAEdit->text(), QStringLiteral("1.5"));

    // 1A in the Orbit HiByte box stops the next Load before the file is read.
    p.Select("b-temperature.dat");
    const auto buffer = p.app->State().Loaded().block.bytes;
    QTest::mouseClick(p.form->loadButton, Qt::LeftButton);
    ASSERT_EQ(p.notifier.boxes.size(), 1u);
    EXPECT_EQ(p.notifier.boxes[0], (RecordingNotifier::Box{"error", "'1A' is not a valid integer value."}));
    EXPECT_EQ(p.app->State().Loaded().block.bytes, buffer);
}

TEST(MainWindow, PastedTextIsFilteredAsTypedTextAndUndoBringsBackTheProgramsText) {
    MainWindowProgram p;
    p.Open();
    QLineEdit* hex = p.form->channelEdit;
    hex->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("#1a7Fz"));
    hex->paste();
    EXPECT_EQ(hex->text(), QStringLiteral("#17F"));
    QLineEdit* coefficient = p.form->coefficientAEdit;
    coefficient->setText(QStringLiteral("2.5E15"));  // as the program shows a large coefficient
    QGuiApplication::clipboard()->setText(QStringLiteral("-1.5e+x 2"));
    coefficient->setCursorPosition(3);
    QTest::keyClick(coefficient, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(coefficient->text(), QStringLiteral("2.5-1.52E15"));
    coefficient->selectAll();
    QTest::keyClick(coefficient, Qt::Key_Backspace);
    QTest::keyClick(coefficient, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(coefficient->text(), QStringLiteral("2.5-1.52E15"));
}

TEST(MainWindow, CloseSavesOnlyInTheNormalStateAndExitSavesNothing) {
    {
        MainWindowProgram p;
        p.Open();
        p.form->orbitHiByteEdit->setText("7");
        p.window->move(40, 50);
        const std::string before = p.SettingsText();
        p.app->Main().showMinimized();
        EXPECT_TRUE(p.window->close());
        EXPECT_EQ(p.SettingsText(), before);
        EXPECT_EQ(p.quitCount, 1);
    }
    {
        MainWindowProgram p;
        p.Open();
        p.form->orbitHiByteEdit->setText("7");
        const std::string before = p.SettingsText();
        p.form->exitAction->trigger();
        EXPECT_EQ(p.quitCount, 1);
        EXPECT_EQ(p.SettingsText(), before);
    }
    {
        MainWindowProgram p;
        p.Open();
        p.form->orbitHiByteEdit->setText("12");
        p.window->move(40, 50);
        EXPECT_TRUE(p.window->close());
        EXPECT_EQ(p.quitCount, 1);
        const std::string text = p.SettingsText();
        EXPECT_NE(text.find("\"Form1 Top\"=\"" + std::to_string(p.window->pos().y()) + "\""), std::string::npos)
            << text;
        EXPECT_NE(text.find("\"Form1 Left\"=\"" + std::to_string(p.window->pos().x()) + "\""), std::string::npos);
        EXPECT_NE(text.find("\"Orbit Offset\"=\"12\""), std::string::npos);

        // The next start shows the stored offset.
        MainWindowProgram again;
        again.settingsFile = p.settingsFile;
        again.Open();
        EXPECT_EQ(again.form->orbitHiByteEdit->text(), QStringLiteral("12"));
    }
}

TEST(MainWindow, AFailedSaveIsReportedOnceAndTheWindowClosesAllTheSame) {
    MainWindowProgram p;
    // The settings folder is a file: nothing can be written.
    p.settingsFile = p.home / "blocked/user.reg";
    WriteText(p.home / "blocked", "a file where the folder should be");
    p.notifier.answers.push_back(p.telemetry.string());
    p.Open();
    const size_t before = p.notifier.boxes.size();
    EXPECT_TRUE(p.window->close());
    EXPECT_EQ(p.quitCount, 1);
    EXPECT_EQ(std::vector(p.notifier.boxes.begin() + static_cast<std::ptrdiff_t>(before), p.notifier.boxes.end()),
              (std::vector<RecordingNotifier::Box>{{"error", "Failed to set data for 'Form1 Top'"}}));
}

TEST(MainWindow, AnUnusableSettingsFileOrNoHomeIsToldOnceAtStartUp) {
    {
        TestProgram p;
        const std::string exported = "\r\n; exported settings\r\nREGEDIT4\r\n";
        std::filesystem::create_directories(p.settingsFile.parent_path());
        WriteText(p.settingsFile, exported);
        p.Start();
        ASSERT_FALSE(p.notifier.boxes.empty());
        EXPECT_EQ(p.notifier.boxes[0],
                  (RecordingNotifier::Box{"warning", "The settings file '" + p.settingsFile.string() +
                                                         "' is not used: line 2 is not \"REGEDIT4\" or \"Windows "
                                                         "Registry Editor Version 5.00\". Kelvarox leaves it as it is "
                                                         "and runs with its defaults."}));
        EXPECT_EQ(std::count_if(p.notifier.boxes.begin(), p.notifier.boxes.end(),
                                [](const auto& box) { return box.kind == "warning"; }),
                  1);
        EXPECT_EQ(ReadText(p.settingsFile), exported);
    }
    ScopedEnv home("HOME", nullptr);
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    RecordingNotifier notifier;
    KelvaroxApplication app(SettingsStore::UserStore(), notifier);
    ASSERT_FALSE(notifier.boxes.empty());
    EXPECT_EQ(notifier.boxes[0], (RecordingNotifier::Box{"warning",
                                                         "There is no home folder for the settings (HOME is "
                                                         "not set). Kelvarox runs with its defaults and "
                                                         "saves nothing."}));
    EXPECT_EQ(app.State().Layout(), BlockLayout::Defaults());
    EXPECT_TRUE(app.Main().close());
}

TEST(MainWindow, AStoredPositionOffEveryScreenIsMovedOntoOne) {
    MainWindowProgram p;
    WriteText(p.settingsFile, p.SettingsText() +
                                  "[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Position]\r\n"
                                  "\"Form1 Top\"=\"2147483647\"\r\n\"Form1 Left\"=\"-2147483648\"\r\n");
    p.Open();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(p.window->pos().x(), screen.left());
    EXPECT_LE(p.window->frameGeometry().bottom(), screen.bottom());
    EXPECT_GE(p.window->pos().y(), screen.top());
}

TEST(MainWindow, ADirectoryThatCannotBeEnteredIsReportedAndStartUpGoesOn) {
    TestProgram p;
    std::filesystem::create_directories(p.settingsFile.parent_path());
    WriteText(p.settingsFile,
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\r\n"
              "\"Default Directory\"=\"" +
                  (p.home / "missing").string() +
                  "\"\r\n"
                  "[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Kelvarox\\Startup]\r\n"
                  "\"Orbit Offset\"=\"5\"\r\n\"MA Step Addr.\"=\"40\"\r\n");
    p.Start();
    ASSERT_EQ(p.notifier.boxes.size(), 1u);
    EXPECT_EQ(p.notifier.boxes[0].kind, "error");
    EXPECT_EQ(p.notifier.boxes[0].text, "Cannot open the directory '" + (p.home / "missing").string() +
                                            "/telemetry': No such file or directory.");
    EXPECT_EQ(MainForm(p.app->Main()).orbitHiByteEdit->text(), QStringLiteral("5"));
    EXPECT_EQ(p.app->State().Layout().maStepAddr, 40);
    EXPECT_EQ(p.app->Main().pos(), QPoint(20, 20));
}

TEST(MainWindow, FirstRunAsksForTheDirectory) {
    TestProgram p;
    p.notifier.answers.push_back((p.telemetry).string());
    WriteBytes(p.telemetry / "x.dat", BuildBlock(BlockRecipe{}));
    p.Start();
    ASSERT_EQ(p.notifier.boxes.size(), 1u);
    EXPECT_EQ(p.notifier.boxes[0].text, "Kelvarox Cannot find Trelm or TrelmCC|Enter directory for telemetry files|" +
                                            QDir::homePath().toStdString() + "/Trelm/telemetry");
    auto& list = *MainForm(p.app->Main()).blockList;
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.names() == QStringList{"x.dat"}; }, 5000));
}

TEST(MainWindow, TheListFollowsTheDirectory) {
    MainWindowProgram p;
    p.Open();
    FileListBox& list = *p.form->blockList;
    p.Select("b-temperature.dat");
    p.form->nameEdit->setText("typed");
    WriteBytes(p.telemetry / "0-new.dat", BuildBlock(BlockRecipe{}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.names().contains("0-new.dat"); }, 5000));
    // A file appearing keeps the selection and the boxes.
    EXPECT_EQ(list.selectedPath().toStdString(), (p.telemetry / "b-temperature.dat").string());
    EXPECT_EQ(p.form->nameEdit->text(), QStringLiteral("typed"));
    std::filesystem::remove(p.telemetry / "b-temperature.dat");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list.names().contains("b-temperature.dat"); }, 5000));
    EXPECT_TRUE(list.selectedPath().isEmpty());
    EXPECT_TRUE(p.form->nameEdit->text().isEmpty());
}

TEST(MainWindow, AboutBoxAndErrorReportText) {
    MainWindowProgram p;
    p.Open();
    p.form->aboutAction->trigger();
    ASSERT_EQ(p.notifier.boxes.size(), 1u);
    EXPECT_EQ(p.notifier.boxes[0].kind, "information");
    const std::string about = p.notifier.boxes[0].text;
    EXPECT_EQ(about.rfind("Kelvarox Ver 1.1d", 0), 0u);
    const auto lines = QString::fromStdString(about).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_TRUE(lines[2].startsWith(QString(13, ' ')) && lines[2][13] != ' ');
    EXPECT_EQ(lines[3], QString(13, ' ') + "Last updated: 2001/10/30");

    EXPECT_EQ(ErrorReportText("Division by zero"), "Division by zero.");
    EXPECT_EQ(ErrorReportText("Done."), "Done.");
    EXPECT_EQ(ErrorReportText("Stop!"), "Stop!");
    EXPECT_EQ(ErrorReportText("a-"), "a-");
    EXPECT_EQ(ErrorReportText("a/"), "a/.");
    EXPECT_EQ(ErrorReportText(""), "");
}

TEST(MainWindow, TheSatelliteChosenInTheMenuNamesTheChannelsAndSurvivesARestart) {
    const ScopedEnv noSatellite("KELVAROX_SATELLITE", nullptr);
    MainWindowProgram p;
    const std::string good = (p.home / "example.toml").string(), bad = (p.home / "bad.toml").string();
    WriteText(good,
              "format = 1\nsatellite = \"Example-1\"\n[[channel]]\nhex = \"#140\"\nname = \"Temp - Deck\"\n"
              "equation = { x1 = 2.0 }\n");
    WriteText(bad, "format = 1\n[[channel]]\nhex = \"#140\"\nnmae = \"x\"\n");
    const auto menu = [&](const char* button) {
        p.window->findChild<QAction*>("satelliteAction")->trigger();
        auto* dialog = p.window->findChild<SatelliteDialog*>();
        EXPECT_TRUE(dialog && dialog->isVisible());
        dialog->findChild<QPushButton*>(button)->click();
        const std::string shown = dialog->findChild<QLabel*>("inForceLabel")->text().toStdString();
        dialog->close();
        return shown;
    };
    const auto loadedName = [&] {
        p.Select("b-temperature.dat");
        QTest::mouseClick(p.form->loadButton, Qt::LeftButton);
        return p.form->nameEdit->text().toStdString() + " " + p.form->coefficientCEdit->text().toStdString();
    };
    p.Open();
    p.notifier.openPaths = {bad, good};
    // A file with errors: one box, and the choice stays.
    EXPECT_EQ(menu("chooseButton"), "In force: the built-in channels");
    ASSERT_FALSE(p.notifier.boxes.empty());
    EXPECT_EQ(p.notifier.boxes.back().text,
              "The satellite file was not taken; the previous choice stays.\n" + bad + ":4:1: unknown key \"nmae\"");
    EXPECT_EQ(menu("chooseButton"),
              "In force: " + good + "\nsatellite Example-1: 1 channel, 0 entries with limits, 0 element sets");
    EXPECT_EQ(loadedName(), "Temp - Deck 2.00000");
    p.app.reset();
    p.Open();
    EXPECT_EQ(loadedName(), "Temp - Deck 2.00000");
    EXPECT_EQ(menu("builtInButton"), "In force: the built-in channels");
    EXPECT_EQ(loadedName(), "Temp - SEU 0.65911");
}

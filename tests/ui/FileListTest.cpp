// The main window's file list against the directories users have: names that are no UTF-8, a
// directory deleted and made again or missing, drags of other files, the one-row list's arrows.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "UiTestSupport.h"
#include "render/TextCodec.h"
#include "ui/FileListBox.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

const std::string kLength = "File is improper length, must be 512 bytes!!";

// A program started over a settings file that names `directory` as the capture program's.
struct ListedProgram : TestProgram {
    std::unique_ptr<MainForm> form;

    void Open(const std::string& directory) {
        std::filesystem::create_directories(settingsFile.parent_path());
        WriteText(settingsFile,
                  "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\r\n"
                  "\"Default Directory\"=\"" +
                      directory + "\"\r\n");
        Start();
        app->Start();
        form = std::make_unique<MainForm>(app->Main());
    }
    FileListBox& List() const { return *form->blockList; }
    bool Lists(const QStringList& names) const {
        return QTest::qWaitFor([&] { return !List().isListing() && List().names() == names; }, 5000);
    }
};

// The process's working directory for the time of a test.
struct WorkingDirectory {
    std::filesystem::path before = std::filesystem::current_path();
    explicit WorkingDirectory(const std::filesystem::path& path) { std::filesystem::current_path(path); }
    ~WorkingDirectory() { std::filesystem::current_path(before); }
};

}  // namespace

TEST(FileList, NamesThatAreNoUtf8AreListedLoadedAndFollowed) {
    ListedProgram p;
    // A Latin-1 "Default Directory" and a Latin-1 block name, as older capture programs write.
    const std::string data = (p.home /
                              "Donn\xE9"
                              "es")
                                 .string();
    std::filesystem::create_directories(data + "/telemetry");
    BlockRecipe recipe;
    recipe.channel = "0140";
    WriteBytes(data + "/telemetry/\xE9t\xE9.dat", BuildBlock(recipe));
    p.Open(data);
    EXPECT_TRUE(p.notifier.boxes.empty());
    const QString name = PathToQt("\xE9t\xE9.dat");
    ASSERT_TRUE(p.Lists({name}));
    EXPECT_EQ(static_cast<QStyledItemDelegate*>(p.List().itemDelegate())->displayText(name, QLocale()),
              QStringLiteral("\u00E9t\u00E9.dat"));
    EXPECT_EQ(p.List().toolTip(), QString::fromLatin1(data + "/telemetry"));

    ASSERT_TRUE(p.List().selectName(name));
    EXPECT_EQ(p.app->State().Loaded().blockFilePath, data + "/telemetry/\xE9t\xE9.dat");
    QTest::mouseClick(p.form->loadButton, Qt::LeftButton);
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_EQ(p.form->nameEdit->text(), QStringLiteral("Temp - SEU"));

    // The directory is watched although the watcher cannot take its name.
    WriteBytes(data + "/telemetry/caf\xE9.tlm", BuildBlock(recipe));
    EXPECT_TRUE(p.Lists({PathToQt("caf\xE9.tlm"), name}));
}

TEST(FileList, ADirectoryDeletedAndMadeAgainIsListedAgain) {
    ListedProgram p;
    WriteBytes(p.telemetry / "a.dat", BuildBlock(BlockRecipe{}));
    p.Open((p.home / "Trelm").string());
    ASSERT_TRUE(p.Lists({"a.dat"}));
    std::filesystem::remove_all(p.telemetry);
    EXPECT_TRUE(p.Lists({}));
    std::filesystem::create_directories(p.telemetry);
    WriteBytes(p.telemetry / "b.dat", BuildBlock(BlockRecipe{}));
    EXPECT_TRUE(p.Lists({"b.dat"}));
    // Watched again: a later file shows too.
    WriteBytes(p.telemetry / "c.dat", BuildBlock(BlockRecipe{}));
    EXPECT_TRUE(p.Lists({"b.dat", "c.dat"}));
}

TEST(FileList, AMissingDirectoryLeavesTheWorkingDirectoryListed) {
    ListedProgram p;
    TempDir working;
    WriteBytes(working / "w.dat", BuildBlock(BlockRecipe{}));
    const WorkingDirectory cd(working.path());
    p.Open((p.home / "missing").string());
    ASSERT_EQ(p.notifier.boxes.size(), 1u);
    EXPECT_EQ(p.notifier.boxes[0].kind, "error");
    EXPECT_TRUE(p.Lists({"w.dat"}));
    EXPECT_EQ(p.List().toolTip(), QString::fromStdString(working.path().string()));
}

TEST(FileList, OnlyADragOfABlockFileIsTaken) {
    ListedProgram p;
    p.Open((p.home / "Trelm").string());
    auto entered = [&](const QByteArray& uriList) {
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"), uriList);
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(&p.app->Main(), &enter);
        return enter.isAccepted();
    };
    EXPECT_FALSE(entered("file:///tmp/notes.txt\r\n"));
    EXPECT_FALSE(entered("file:///tmp/notes.txt\r\nfile:///tmp/BLOCK.TLM\r\n"));  // the first file counts
    EXPECT_FALSE(entered("https://example.org/BLOCK.TLM\r\n"));
    EXPECT_TRUE(entered("file:///tmp/BLOCK.TLM\r\nfile:///tmp/notes.txt\r\n"));
    EXPECT_TRUE(entered("file:///tmp/%E9t%E9.dat\r\n"));
}

TEST(FileList, TheScrollArrowsSelectTheRowTheyShow) {
    ListedProgram p;
    BlockRecipe temperature;
    temperature.channel = "0140";
    WriteBytes(p.telemetry / "a.dat", BuildBlock(BlockRecipe{}));
    WriteBytes(p.telemetry / "b.dat", BuildBlock(temperature));
    WriteBytes(p.telemetry / "c.dat", std::vector<uint8_t>(100, 'W'));
    p.Open((p.home / "Trelm").string());
    ASSERT_TRUE(p.Lists({"a.dat", "b.dat", "c.dat"}));
    QScrollBar& arrows = *p.List().verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrows.maximum() == 2; }, 5000));
    p.form->nameEdit->setText("typed");
    arrows.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(p.app->State().Loaded().blockFilePath, (p.telemetry / "b.dat").string());
    EXPECT_TRUE(p.form->nameEdit->text().isEmpty());
    QTest::mouseClick(p.form->loadButton, Qt::LeftButton);
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_EQ(p.form->nameEdit->text(), QStringLiteral("Temp - SEU"));
    arrows.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(p.app->State().Loaded().blockFilePath, (p.telemetry / "c.dat").string());
    arrows.triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(p.app->State().Loaded().blockFilePath, (p.telemetry / "b.dat").string());
    EXPECT_EQ(p.List().currentIndex().row(), arrows.value());
}

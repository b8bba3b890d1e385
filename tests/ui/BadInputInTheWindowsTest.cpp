// A telemetry directory of bad files and a settings value of another type, as the windows
// meet them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "BadBlocks.h"
#include "SettingsTestSupport.h"
#include "StartupSection.h"
#include "UiTestSupport.h"
#include "ui/GraphWindow.h"
#include "ui/MainWindow.h"

using namespace kelvarox;
using namespace kelvarox::testing;
namespace fs = std::filesystem;

namespace {

void Drop(QWidget* window, const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
}

}  // namespace

TEST(BadInputInTheWindows, ADirectoryOfBadFilesAndASettingsValueOfAnotherType) {
    TestProgram p;
    fs::create_directories(p.settingsFile.parent_path());
    WriteText(p.settingsFile, StartupSection("\"Start MA Addr.\"=dword:00000010\r\n\"Orbit Offset\"=\"2\"\r\n") +
                                  "\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\r\n"
                                  "\"Default Directory\"=\"" +
                                  (p.home / "Trelm").string() + "\"\r\n");
    const fs::path& d = p.telemetry;
    const Bytes good = BuildBlock(GoodRecipe());
    WriteBytes(d / "good.dat", good);
    WriteBytes(d / "empty.dat", {});
    WriteBytes(d / "short.TLM", Bytes(good.begin(), good.end() - 1));
    SparseFile(d / "huge.dat", kFourGiB + 512, good);
    fs::create_directory(d / "folder.dat");
    ASSERT_EQ(::mkfifo((d / "pipe.dat").c_str(), 0600), 0);
    fs::create_symlink(d / "nowhere", d / "dangling.dat");
    fs::create_symlink("/dev/zero", d / "zero.dat");

    p.Start();
    p.app->Start();
    MainWindow& window = p.app->Main();
    const MainForm form(window);
    // The start-up reports the value it cannot read and goes on with its default.
    EXPECT_EQ(p.notifier.boxes,
              (std::vector<RecordingNotifier::Box>{{"error", "Invalid data type for 'Start MA Addr.'"}}));
    EXPECT_EQ(p.app->State().Layout(), BlockLayout{});
    EXPECT_EQ(form.orbitHiByteEdit->text(), QStringLiteral("2"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !form.blockList->isListing() && !form.blockList->names().empty(); }, 10000));
    // Only regular files are listed.
    EXPECT_EQ(form.blockList->names(), (QStringList{"empty.dat", "good.dat", "huge.dat", "short.TLM"}));

    const std::vector<std::string> bad = {"empty.dat", "short.TLM",    "huge.dat", "folder.dat",
                                          "pipe.dat",  "dangling.dat", "zero.dat"};
    for (const std::string& name : bad) {
        p.notifier.boxes.clear();
        Drop(&window, (d / name).string());
        EXPECT_EQ(p.notifier.Texts(), (std::vector<std::string>{kLength, kFormat})) << name;
        EXPECT_FALSE(p.app->Graph().isVisible()) << name;
    }
    p.notifier.boxes.clear();
    Drop(&window, (d / "good.dat").string());
    EXPECT_TRUE(p.notifier.boxes.empty());
    EXPECT_TRUE(p.app->Graph().isVisible());
    p.app->Graph().hide();
    for (const std::string& name : bad) {
        p.notifier.boxes.clear();
        Drop(&window, (d / name).string());
        EXPECT_EQ(p.notifier.Texts(), std::vector<std::string>{kLength}) << name;
        EXPECT_FALSE(p.app->Graph().isVisible()) << name;
        EXPECT_FALSE(form.graphButton->isEnabled());
        EXPECT_FALSE(form.tableButton->isEnabled());
        EXPECT_EQ(form.nameEdit->text(), QStringLiteral("Temp - SEU"));
    }
}

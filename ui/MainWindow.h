#pragma once
// The main window: the block files of the telemetry directory, the loaded block's channel and
// translation equation, the Orbit HiByte, and the Load, Graph and Table actions. It hands the
// loaded block on through its signals; the windows that draw and tabulate it are not its own.
#include <QMainWindow>
#include <memory>
#include <optional>
#include <string>

#include "core/ChannelBoxTexts.h"
#include "ui/ProgramState.h"

class QToolButton;

namespace Ui {
class MainWindow;
}

namespace kelvarox {

class Notifier;
class SettingsStore;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The window over the program's state: the file list at its telemetry directory, the
    // Orbit HiByte box with its stored value, at the stored position.
    MainWindow(ProgramState& state, const SettingsStore& store, Notifier& notifier);
    ~MainWindow() override;

    // The texts of the boxes that Graph and Table read.
    ChannelBoxTexts boxTexts() const;

    static const char* const kDropHint;

signals:
    // Load, Graph or Table is about to run: a table being filled stops first.
    void actionStarting();
    void graphRequested(const ChannelBoxTexts& boxes);
    void tableRequested(const ChannelBoxTexts& boxes);
    void setupRequested();
    void timeLineRequested();
    // Menu > Satellite...: the dialog of the satellite file in force.
    void satelliteRequested();
    // Exit, or the window closed: the program ends.
    void quitRequested();

public slots:
    // The handlers of the window's buttons, list and menu; each reports its own errors.
    void load();
    void showGraph();
    void showTable();
    void selectBlockFile();
    void loadAndShowGraph();
    void clearChannelBoxes();
    void showAbout();
    void showSetup();
    void showTimeLine();
    void exitProgram();
    // Files dropped on the window: the first one is loaded and graphed when it is a block file.
    void loadDroppedFiles(const QStringList& paths);
    // Loads that file whatever its name and, when it loaded, shows its graph, as a drop does.
    void loadAndGraphFile(const QString& path);
    // A block of the archive: the Orbit HiByte box takes `orbitHiByte` as if typed, the file
    // list selects the file when it lists its folder, and the block is loaded and graphed.
    void openBlockAt(const QString& path, qint64 orbitHiByte);
    // Adding the telemetry directory's blocks to the archive has stopped: why; empty once it
    // goes on. The menu bar says so while it lasts, and tells why when clicked.
    void showImportProblem(const QString& problem);

protected:
    // Closing the window stores its position and the Orbit HiByte, then ends the program, also
    // when they cannot be stored.
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void setUpFonts();
    void connectHandlers();
    void loadBlock();
    void requestGraph();
    void pointFileListAt(const std::string& path);
    void showChannelBoxes(const ChannelBoxTexts& boxes);
    void disableGraphAndTable();

    ProgramState& state_;
    const SettingsStore& store_;
    Notifier& notifier_;
    std::unique_ptr<Ui::MainWindow> ui_;
    QToolButton* importProblemButton_;
    QString importProblem_;
};

}  // namespace kelvarox

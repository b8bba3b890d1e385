#pragma once
// The main window: the block files of the telemetry directory, the loaded block's channel and
// translation equation, the Orbit HiByte, and the Load, Graph and Table actions.
#include <QMainWindow>
#include <memory>

#include "core/GraphAndTableActions.h"
#include "core/BlockLoader.h"
#include "settings/SettingsViews.h"

namespace Ui {
class MainWindow;
}

namespace kelvarox {

class KelvaroxApplication;

class MainWindow : public QMainWindow, private LoaderView, private TelemetryDirectoryView {
    Q_OBJECT
public:
    explicit MainWindow(KelvaroxApplication& app);
    ~MainWindow() override;

    Ui::MainWindow& Form() { return *ui_; }

    // The handlers, each run through the error report when an event calls it.
    void load();  // Load
    void showGraph();  // Graph
    void showTable();  // Table
    void selectBlockFile();
    void loadAndShowGraph();
    void clearChannelBoxes();
    void showAbout();
    void showSetup();
    void exitProgram();
    // Files dropped on the window: the first one is loaded and graphed when it is a block file.
    void loadDroppedFiles(const QStringList& paths);

    // The texts of the boxes that Graph and Table read.
    ChannelBoxTexts BoxTexts() const;

    static const char* const kHint;

protected:
    // Closing the window stores its position and the Orbit HiByte, then ends the program.
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void StartUp();
    void SetUpFonts();
    void ConnectHandlers();
    bool LoadSucceeded() const;

    // LoaderView
    std::string OrbitHiByteText() const override;
    void SetBoxText(ChannelBox box, const std::string& text) override;
    void DisableGraphAndTable() override;
    void ShowInformation(const std::string& message) override;
    // TelemetryDirectoryView
    std::optional<std::string> AskForText(const std::string& caption, const std::string& prompt,
                                          const std::string& initialText) override;
    void PointFileListAt(const std::string& path) override;

    KelvaroxApplication& app_;
    std::unique_ptr<Ui::MainWindow> ui_;
};

}  // namespace kelvarox

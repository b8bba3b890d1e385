#pragma once
// The main window: the block files of the telemetry directory, the loaded block's channel and
// translation equation, the Orbit HiByte, and the Load, Graph and Table actions.
#include <QMainWindow>
#include <memory>

#include "core/Actions.h"
#include "core/BlockLoader.h"
#include "settings/SettingsViews.h"

namespace Ui {
class TWod1;
}

namespace kelvarox {

class KelvaroxApplication;

class TWod1 : public QMainWindow, private LoaderView, private TelemetryDirectoryView {
    Q_OBJECT
public:
    explicit TWod1(KelvaroxApplication& app);
    ~TWod1() override;

    Ui::TWod1& Form() { return *ui_; }

    // The handlers, each run through the error report when an event calls it.
    void Button2Click();  // Load
    void Button1Click();  // Graph
    void Button3Click();  // Table
    void FileListBox1Click();
    void FileListBox1DblClick();
    void FileListBox1Change();
    void About1Click();
    void Setup1Click();
    void Exit1Click();
    // Files dropped on the window: the first one is loaded and graphed when it is a block file.
    void WmDropFiles(const QStringList& paths);

    // The texts of the boxes that Graph and Table read.
    MainBoxTexts BoxTexts() const;

    static const char* const kHint;

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
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
    std::unique_ptr<Ui::TWod1> ui_;
};

}  // namespace kelvarox

#pragma once
// What the window tests share: a notifier that records the boxes instead of showing them,
// and a running program over a settings file of its own.
#include <QApplication>
#include <QTest>
#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Forms.h"
#include "TestFiles.h"
#include "settings/SettingsStore.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/Notifier.h"

namespace kelvarox::testing {

class RecordingNotifier : public Notifier {
public:
    struct Box {
        std::string kind;  // "error", "information", "warning" or "ask"
        std::string text;
        bool operator==(const Box&) const = default;
        friend void PrintTo(const Box& box, std::ostream* os) { *os << box.kind << ": " << box.text; }
    };
    std::vector<Box> boxes;
    // Answers for the text-input dialog, in order; an empty optional is Cancel.
    std::deque<std::optional<std::string>> answers;
    // Answers for the dialog that asks where to save, in order; none is Cancel.
    std::deque<std::string> savePaths;
    // Answers for the dialog that asks for a file to open, in order; none is Cancel.
    std::deque<std::string> openPaths;

    void ShowError(const std::string& text) override { boxes.push_back({"error", text}); }
    void ShowInformation(const std::string& text) override { boxes.push_back({"information", text}); }
    void ShowWarning(const std::string& text) override { boxes.push_back({"warning", text}); }
    std::optional<std::string> AskForText(const std::string& caption, const std::string& prompt,
                                          const std::string& initialText) override {
        boxes.push_back({"ask", caption + "|" + prompt + "|" + initialText});
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> AskForSaveFile(const std::string& caption, const std::string& suggested,
                                              const std::string& filters) override {
        boxes.push_back({"save", caption + "|" + suggested + "|" + filters});
        if (savePaths.empty()) return std::nullopt;
        auto path = savePaths.front();
        savePaths.pop_front();
        return path;
    }
    std::optional<std::string> AskForOpenFile(const std::string& caption, const std::string& suggested,
                                              const std::string& filters) override {
        boxes.push_back({"open", caption + "|" + suggested + "|" + filters});
        if (openPaths.empty()) return std::nullopt;
        auto path = openPaths.front();
        openPaths.pop_front();
        return path;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& b : boxes) texts.push_back(b.text);
        return texts;
    }
};

// A settings file in a temporary folder; by default it names `telemetry` (a folder beside it)
// as the capture program's directory, so no dialog is asked.
struct TestProgram {
    TempDir home;
    std::filesystem::path settingsFile = home / "config/kelvarox/user.reg";
    std::filesystem::path telemetry = home / "Trelm/telemetry";
    RecordingNotifier notifier;
    std::unique_ptr<KelvaroxApplication> app;
    int quitCount = 0;  // how often the main window asked the program to end

    TestProgram() { std::filesystem::create_directories(telemetry); }

    void NameTelemetryDirectory() {
        std::filesystem::create_directories(settingsFile.parent_path());
        WriteText(settingsFile,
                  "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\r\n"
                  "\"Default Directory\"=\"" +
                      (home / "Trelm").string() + "\"\r\n");
    }

    KelvaroxApplication& Start(StartPaths start = {}) {
        app = std::make_unique<KelvaroxApplication>(SettingsStore(settingsFile.string()), notifier, std::move(start));
        QObject::connect(&app->Main(), &MainWindow::quitRequested, [this] { ++quitCount; });
        return *app;
    }

    std::string AddBlock(const std::string& name, const BlockRecipe& recipe) {
        WriteBytes(telemetry / name, BuildBlock(recipe));
        return (telemetry / name).string();
    }
};

}  // namespace kelvarox::testing

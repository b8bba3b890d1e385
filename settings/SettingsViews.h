#pragma once
// What the load and save procedures need of the windows. The windows implement these over
// their widgets and dialogs; tests implement them with recorders, so every procedure runs
// without a screen.
#include <cstdint>
#include <optional>
#include <string>

namespace kelvarox {

// The main window as the search for the telemetry directory sees it.
class TelemetryDirectoryView {
public:
    virtual ~TelemetryDirectoryView() = default;
    // The modal text-input dialog with OK and Cancel: the box's text, unchanged, on OK;
    // nothing on Cancel or when the dialog is closed.
    virtual std::optional<std::string> AskForText(const std::string& caption, const std::string& prompt,
                                                  const std::string& initialText) = 0;
    // Shows the block files of the directory `path` (never empty) in the file list. Raises
    // KelvaroxError with the system's text when the directory cannot be entered.
    virtual void PointFileListAt(const std::string& path) = 0;
};

// One single-line edit box.
class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

// A window whose position is stored: its outer top and left edge in screen pixels.
class PositionedWindow {
public:
    virtual ~PositionedWindow() = default;
    virtual int32_t Top() const = 0;
    virtual int32_t Left() const = 0;
    // Each call moves the window at once.
    virtual void SetTop(int32_t top) = 0;
    virtual void SetLeft(int32_t left) = 0;
    // Neither minimized nor maximized (nor full screen).
    virtual bool IsInNormalState() const = 0;
};

// The setup window: its eight address boxes in the order of BlockLayout::Field
// (Start AmDay, End AmDay, Start Orbit, End Orbit, Start MA, End MA, MA Step, Channel#).
class SetupWindowView {
public:
    virtual ~SetupWindowView() = default;
    virtual std::string BoxText(int field) const = 0;
    virtual void SetBoxText(int field, const std::string& text) = 0;
    // Hides the window without running its close handler.
    virtual void HideSetupWindow() = 0;
};

}  // namespace kelvarox

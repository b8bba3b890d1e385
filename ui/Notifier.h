#pragma once
// Every modal box the program shows goes through here: the error report, the information
// boxes, the text-input dialog and the dialog that asks where to save a file. The application shows real boxes; tests
// record them.
#include <optional>
#include <string>

namespace kelvarox {

class Notifier {
public:
    virtual ~Notifier() = default;
    // The error report: title "Kelvarox", error icon, one OK button. `text` is shown as given.
    virtual void ShowError(const std::string& text) = 0;
    // An information box: caption "Information", information icon, one OK button.
    virtual void ShowInformation(const std::string& text) = 0;
    // A warning about the program's own surroundings (its settings file): title "Kelvarox",
    // warning icon, one OK button. Shown as the error report where no warning box is given.
    virtual void ShowWarning(const std::string& text) { ShowError(text); }
    // The modal text-input dialog with OK and Cancel; nothing on Cancel or close. It asks for
    // a path, so its texts are in the system's file-name encoding.
    virtual std::optional<std::string> AskForText(const std::string& caption, const std::string& prompt,
                                                  const std::string& initialText) = 0;
    // The modal dialog that asks where to save a file, starting at the path `suggested` and
    // offering the file types of `filters` ("PNG image (*.png);;SVG picture (*.svg)"); the path
    // in the system's file-name encoding, nothing on Cancel. Without a dialog, nothing is saved.
    virtual std::optional<std::string> AskForSaveFile(const std::string& caption, const std::string& suggested,
                                                      const std::string& filters) {
        (void)caption, (void)suggested, (void)filters;
        return std::nullopt;
    }
    // The modal dialog that asks for a file to open, as the one above; nothing on Cancel.
    virtual std::optional<std::string> AskForOpenFile(const std::string& caption, const std::string& suggested,
                                                      const std::string& filters) {
        (void)caption, (void)suggested, (void)filters;
        return std::nullopt;
    }
};

}  // namespace kelvarox

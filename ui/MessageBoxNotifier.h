#pragma once
// The application's boxes: QMessageBox, QInputDialog and QFileDialog over the active window.
#include "ui/Notifier.h"

namespace kelvarox {

class MessageBoxNotifier : public Notifier {
public:
    void ShowError(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    std::optional<std::string> AskForText(const std::string& caption, const std::string& prompt,
                                          const std::string& initialText) override;
    std::optional<std::string> AskForSaveFile(const std::string& caption, const std::string& suggested,
                                              const std::string& filters) override;
    std::optional<std::string> AskForOpenFile(const std::string& caption, const std::string& suggested,
                                              const std::string& filters) override;
};

}  // namespace kelvarox

#include "ui/MessageBoxNotifier.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "render/TextCodec.h"

namespace kelvarox {

namespace {

void ShowBox(QMessageBox::Icon icon, const QString& title, const std::string& text) {
    QMessageBox box(icon, title, ToQt(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace

void MessageBoxNotifier::ShowError(const std::string& text) {
    ShowBox(QMessageBox::Critical, QStringLiteral("Kelvarox"), text);
}

void MessageBoxNotifier::ShowInformation(const std::string& text) {
    ShowBox(QMessageBox::Information, QStringLiteral("Information"), text);
}

void MessageBoxNotifier::ShowWarning(const std::string& text) {
    ShowBox(QMessageBox::Warning, QStringLiteral("Kelvarox"), text);
}

std::optional<std::string> MessageBoxNotifier::AskForText(const std::string& caption, const std::string& prompt,
                                                          const std::string& initialText) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), ToQt(caption), ToQt(prompt),
                                               QLineEdit::Normal, PathToQt(initialText), &ok);
    if (!ok) return std::nullopt;
    return PathFromQt(text);  // the dialog asks for a directory
}

std::optional<std::string> MessageBoxNotifier::AskForSaveFile(const std::string& caption, const std::string& suggested,
                                                              const std::string& filters) {
    const QString path =
        QFileDialog::getSaveFileName(QApplication::activeWindow(), ToQt(caption), PathToQt(suggested), ToQt(filters));
    if (path.isEmpty()) return std::nullopt;
    return PathFromQt(path);
}

}  // namespace kelvarox

#include "ui/MessageBoxNotifier.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "render/TextCodec.h"

namespace kelvarox {

namespace {

// The suffix of a file type as the save dialog lists it: "png" of "PNG image (*.png)".
QString SuffixOf(const QString& filter) {
    const qsizetype star = filter.indexOf(QStringLiteral("*."));
    if (star < 0) return QString();
    qsizetype end = star + 2;
    while (end < filter.size() && filter[end].isLetterOrNumber()) ++end;
    return filter.mid(star + 2, end - star - 2);
}

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
    const QFileInfo start(PathToQt(suggested));
    QFileDialog dialog(QApplication::activeWindow(), ToQt(caption), start.absolutePath(), ToQt(filters));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(start.fileName());
    // A name given without a suffix takes that of the file type chosen.
    dialog.setDefaultSuffix(SuffixOf(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(SuffixOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return PathFromQt(dialog.selectedFiles().front());
}

std::optional<std::string> MessageBoxNotifier::AskForOpenFile(const std::string& caption, const std::string& suggested,
                                                              const std::string& filters) {
    const QFileInfo start(PathToQt(suggested));
    QFileDialog dialog(QApplication::activeWindow(), ToQt(caption), start.absolutePath(), ToQt(filters));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.selectFile(start.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return PathFromQt(dialog.selectedFiles().front());
}

}  // namespace kelvarox

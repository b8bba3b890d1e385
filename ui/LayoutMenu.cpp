#include "ui/LayoutMenu.h"

#include <filesystem>

#include "core/Errors.h"
#include "render/TextCodec.h"
#include "settings/TimeLineSettings.h"
#include "ui/ErrorReport.h"
#include "ui/Notifier.h"

namespace kelvarox {

namespace {

const char* const kLayoutFilters = "Time line layout (*.json)";

}  // namespace

LayoutMenu::LayoutMenu(QToolButton* button, Notifier& notifier, std::function<TimeLineLayout()> current,
                       std::function<void(const TimeLineLayout&)> apply)
    : QObject(button), notifier_(notifier), current_(std::move(current)), apply_(std::move(apply)),
      menu_(new QMenu(button)) {
    button->setMenu(menu_);
    connect(menu_, &QMenu::aboutToShow, this, &LayoutMenu::fillMenu);
    fillMenu();
}

void LayoutMenu::fillMenu() {
    menu_->clear();
    menu_->addAction(QStringLiteral("Save Layout As..."), this, &LayoutMenu::saveLayoutAs);
    menu_->addAction(QStringLiteral("Open Layout..."), this, &LayoutMenu::openLayout);
    if (!store_) return;
    const std::vector<std::string> recent = ReadRecentLayouts(*store_);
    if (!recent.empty()) menu_->addSeparator();
    for (size_t i = 0; i < recent.size(); ++i) {
        const QString path = PathToQt(recent[i]);
        QAction* action = menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        connect(action, &QAction::triggered, this, [this, path] { openLayoutFile(path); });
    }
}

void LayoutMenu::saveLayoutAs() {
    RunHandler(notifier_, [this] {
        const std::string suggested = folder_.empty()
                                          ? "time-line-layout.json"
                                          : (std::filesystem::path(folder_) / "time-line-layout.json").string();
        const auto path = notifier_.AskForSaveFile("Save Layout As", suggested, kLayoutFilters);
        if (!path) return;
        WriteLayoutFile(*path, current_());
        remember(*path);
    });
}

void LayoutMenu::openLayout() {
    RunHandler(notifier_, [this] {
        const auto path = notifier_.AskForOpenFile("Open Layout", folder_, kLayoutFilters);
        if (path) openLayoutFile(PathToQt(*path));
    });
}

void LayoutMenu::openLayoutFile(const QString& path) {
    RunHandler(notifier_, [&] {
        const std::string file = PathFromQt(path);
        const TimeLineLayout layout = ReadLayoutFile(file);
        apply_(layout);
        remember(file);
    });
}

void LayoutMenu::remember(const std::string& path) {
    folder_ = std::filesystem::path(path).parent_path().string();
    // The list of files used last is a convenience: a store that refuses it leaves the layout be.
    if (!store_) return;
    try {
        AddRecentLayout(*store_, std::filesystem::absolute(path).string());
    } catch (const KelvaroxError&) {}
}

}  // namespace kelvarox

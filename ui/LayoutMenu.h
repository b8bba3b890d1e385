#pragma once
// The time line window's Layouts menu: Save Layout As..., Open Layout... and the layout files
// used last, which the program's settings keep.
#include <QMenu>
#include <QObject>
#include <QToolButton>
#include <functional>
#include <string>

#include "settings/SettingsStore.h"
#include "settings/TimeLineLayout.h"

namespace kelvarox {

class Notifier;

class LayoutMenu : public QObject {
    Q_OBJECT
public:
    // The menu of `button`; `current` gives the window's layout, `apply` shows one.
    LayoutMenu(QToolButton* button, Notifier& notifier, std::function<TimeLineLayout()> current,
               std::function<void(const TimeLineLayout&)> apply);

    // The store that keeps the files used last; none: they are not kept.
    void useStore(const SettingsStore* store) { store_ = store; }

public slots:
    void saveLayoutAs();
    void openLayout();
    // Opens the layout file at `path`; a file that cannot be read leaves the window as it is.
    void openLayoutFile(const QString& path);

private:
    void fillMenu();
    void remember(const std::string& path);

    Notifier& notifier_;
    std::function<TimeLineLayout()> current_;
    std::function<void(const TimeLineLayout&)> apply_;
    const SettingsStore* store_ = nullptr;
    QMenu* menu_;
    std::string folder_;  // of the last layout file used
};

}  // namespace kelvarox

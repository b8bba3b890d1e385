#pragma once
// The main window's list of block files: one directory, the mask "*.dat;*.tlm", sorted by
// name. It follows files that appear or vanish while the program runs, and lists a large
// directory in the background so the window answers at once.
#include <QFileSystemWatcher>
#include <QFutureWatcher>
#include <QListView>
#include <QStringListModel>
#include <atomic>
#include <memory>

namespace kelvarox {

class FileListBox : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);
    ~FileListBox() override;

    // Shows the block files of `directory`. Raises KelvaroxError with the system's text when
    // it cannot be entered; no effect when the list shows that directory already.
    void SetDirectory(const QString& directory);
    QString Directory() const { return directory_; }

    // The full path of the selected file; empty when nothing is selected.
    QString SelectedPath() const;
    // Selects a file by name, as the user would (used by tests and keyboard handling).
    [[nodiscard]] bool SelectName(const QString& name);
    // Clears the selection without any list event.
    void ClearSelectionQuietly();
    QStringList Names() const { return model_.stringList(); }
    // True while a listing of the directory is under way.
    bool IsListing() const { return listing_.isRunning() || relistPending_; }

signals:
    void ItemClicked();       // an item was selected by mouse or keyboard, or clicked
    void ItemDoubleClicked();
    void Changed();           // the selection or the contents changed
    void ListingFinished();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void StartListing();
    void ApplyListing();
    void OnCurrentChanged(const QModelIndex& current);

    QStringListModel model_;
    QFileSystemWatcher watcher_;
    struct Listing {
        QString directory;
        QStringList names;
    };
    QFutureWatcher<Listing> listing_;
    std::shared_ptr<std::atomic<bool>> cancelListing_;  // raised when its result is not wanted
    QString directory_;
    QString listedDirectory_;   // the directory whose names the model holds
    bool relistPending_ = false;
    bool quiet_ = false;        // selection changes made by the list itself
    bool mousePressing_ = false;
};

}  // namespace kelvarox

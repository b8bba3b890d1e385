#pragma once
// The main window's list of block files: one directory, the mask "*.dat;*.tlm", sorted by
// name, at first the program's working directory. It follows files that appear or vanish while
// the program runs, and a directory deleted and made again, and lists a large directory in the
// background so the window answers at once. One row shows at a time: moving through the list,
// by keys or by its scroll arrows, selects the row it shows. The directory's watch is the one
// the archive feed follows too (services/DirectoryWatch.h).
#include <QElapsedTimer>
#include <QListView>
#include <QStringListModel>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>

namespace kelvarox {

class DirectoryWatch;

class FileListBox : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);
    ~FileListBox() override;

    // Shows the block files of `directory`. Raises KelvaroxError with the system's text when
    // it cannot be entered, and the list keeps its directory; no effect when the list shows
    // that directory already. Names are kept as bytes (see render/TextCodec.h).
    void setDirectory(const QString& directory);
    QString directory() const { return directory_; }

    // The full path of the selected file; empty when nothing is selected.
    QString selectedPath() const;
    // Selects a file by name, as the user would (used by tests and keyboard handling).
    [[nodiscard]] bool selectName(const QString& name);
    // Clears the selection without any list event.
    void clearSelectionQuietly();
    QStringList names() const { return model_.stringList(); }
    // True while a listing of the directory is under way or due.
    bool isListing() const { return listingRunning_ || relistPending_ || relistTimer_.isActive(); }

    // The least time between the end of one listing and the start of the next, and its share
    // of the last listing's time: changes that come faster are taken together, and a directory
    // so large that its listing is slow is listed less often, so following it never keeps a
    // core busy (at most a fifth of one).
    static constexpr int kRelistGapMs = 250;
    static constexpr int kRelistGapPerListingTime = 4;
    // How often a directory that cannot be watched (gone, or not there yet) is looked for.
    static constexpr int kLookAgainMs = 1000;

signals:
    void itemClicked();  // an item was selected by mouse or keyboard, or clicked
    void itemDoubleClicked();
    void changed();  // the selection or the contents changed
    void listingFinished();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void showDirectory(const QString& directory);
    [[nodiscard]] bool watch();
    void onDirectoryChanged(bool gone);
    void lookForDirectory();
    void scheduleListing();
    void startListing();
    struct Listing {
        QString directory;
        QStringList names;
    };
    void applyListing(const Listing& result);
    void onCurrentChanged(const QModelIndex& current);
    void selectShownRow();

    QStringListModel model_;
    std::shared_ptr<DirectoryWatch> watch_;  // of directory_
    QMetaObject::Connection watched_;
    QTimer relistTimer_;     // a listing due after a change
    QTimer lookAgainTimer_;  // runs while the directory is not watched
    // Listings run in a thread of their own, one at a time, by a worker object that lives there.
    QThread listingThread_;
    QObject* lister_ = nullptr;  // deleted by listingThread_ when it ends
    bool listingRunning_ = false;
    std::shared_ptr<std::atomic<bool>> cancelListing_;  // raised when its result is not wanted
    QElapsedTimer listingClock_;                        // started with the running listing
    QString directory_;
    QString listedDirectory_;     // the directory whose names the model holds
    bool relistPending_ = false;  // the directory changed while a listing ran
    bool quiet_ = false;          // selection changes made by the list itself
    bool mousePressing_ = false;
};

}  // namespace kelvarox

#include "ui/FileListBox.h"

#include <QDir>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <filesystem>

#include "render/TextCodec.h"
#include "services/DirectoryWatch.h"
#include "ui/DirectoryListing.h"

namespace kelvarox {

namespace {

// Rows of the list are 13 pixels high; names that are no UTF-8 read as Latin-1.
class FileNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(13);
        return size;
    }
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        return PathForDisplay(QStyledItemDelegate::displayText(value, locale));
    }
};

QString WorkingDirectory() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::current_path(error);
    return error ? QString() : PathToQt(path.native());
}

// An absolute path without "." and ".." steps or a trailing separator. The working directory
// is taken as bytes, like every other path.
QString Normalized(const QString& directory) {
    if (QDir::isRelativePath(directory)) {
        const QString working = WorkingDirectory();
        if (!working.isEmpty()) return QDir::cleanPath(working + QLatin1Char('/') + directory);
    }
    return QDir::cleanPath(directory);
}

}  // namespace

FileListBox::FileListBox(QWidget* parent) : QListView(parent) {
    setModel(&model_);
    setItemDelegate(new FileNameDelegate(this));
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);  // the scroll bar counts rows
    relistTimer_.setSingleShot(true);
    relistTimer_.setInterval(kRelistGapMs);
    lookAgainTimer_.setInterval(kLookAgainMs);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { onCurrentChanged(current); });
    connect(this, &QListView::clicked, this, [this] { emit itemClicked(); });
    connect(this, &QListView::doubleClicked, this, [this] { emit itemDoubleClicked(); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { selectShownRow(); });
    connect(&relistTimer_, &QTimer::timeout, this, [this] { startListing(); });
    connect(&lookAgainTimer_, &QTimer::timeout, this, [this] { lookForDirectory(); });
    lister_ = new QObject;
    lister_->moveToThread(&listingThread_);
    connect(&listingThread_, &QThread::finished, lister_, &QObject::deleteLater);
    listingThread_.start();
    const QString working = WorkingDirectory();
    if (!working.isEmpty()) showDirectory(Normalized(working));
}

FileListBox::~FileListBox() {
    if (cancelListing_) cancelListing_->store(true);
    listingThread_.quit();
    listingThread_.wait();
}

void FileListBox::setDirectory(const QString& directory) {
    const QString normalized = Normalized(directory);
    if (normalized == directory_) return;
    CheckDirectoryCanBeEntered(normalized);
    showDirectory(normalized);
}

void FileListBox::showDirectory(const QString& directory) {
    if (cancelListing_) cancelListing_->store(true);  // the old directory's names are not wanted
    directory_ = directory;
    setToolTip(PathForDisplay(QDir::toNativeSeparators(directory_)));
    if (watch())
        lookAgainTimer_.stop();
    else
        lookAgainTimer_.start();
    relistTimer_.stop();
    startListing();
}

bool FileListBox::watch() {
    const std::string path = PathFromQt(directory_);  // as bytes, UTF-8 or not
    if (!watch_ || watch_->directory() != path) {
        disconnect(watched_);
        watch_ = DirectoryWatch::of(path);
        watched_ = connect(watch_.get(), &DirectoryWatch::changed, this,
                           [this](const DirectoryWatch::Changes& changes) { onDirectoryChanged(changes.gone); });
    }
    int error = 0;
    return watch_->watch(error);
}

void FileListBox::onDirectoryChanged(bool gone) {
    // A directory deleted or moved away is no longer watched: it is looked for until it is back.
    if (gone) lookAgainTimer_.start();
    scheduleListing();
}

void FileListBox::lookForDirectory() {
    if (watch()) {
        lookAgainTimer_.stop();
        scheduleListing();
    } else if (DirectoryCanBeEntered(directory_)) {
        scheduleListing();  // there but not watchable: it is listed as often as looked for
    }
}

void FileListBox::scheduleListing() {
    if (listingRunning_)
        relistPending_ = true;
    else if (!relistTimer_.isActive())
        relistTimer_.start();
}

void FileListBox::startListing() {
    if (listingRunning_) {
        relistPending_ = true;  // list again once the running listing ends
        return;
    }
    relistPending_ = false;
    const QString directory = directory_;
    cancelListing_ = std::make_shared<std::atomic<bool>>(false);
    listingClock_.start();
    listingRunning_ = true;
    QMetaObject::invokeMethod(
        lister_,
        [this, directory, cancel = cancelListing_] {
            Listing result{directory, ListBlockFiles(directory, cancel.get())};
            QMetaObject::invokeMethod(
                this, [this, result = std::move(result)] { applyListing(result); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void FileListBox::applyListing(const Listing& result) {
    listingRunning_ = false;
    if (result.directory != directory_) {  // the list was pointed elsewhere meanwhile
        startListing();
        return;
    }
    const qint64 took = listingClock_.elapsed();
    relistTimer_.setInterval(static_cast<int>(std::max<qint64>(kRelistGapMs, kRelistGapPerListingTime * took)));
    const QStringList& names = result.names;
    const bool sameDirectory = listedDirectory_ == directory_;
    if (!sameDirectory || names != model_.stringList()) {
        const QString selected = currentIndex().isValid() ? currentIndex().data().toString() : QString();
        quiet_ = true;
        model_.setStringList(names);
        bool selectionKept = false;
        if (sameDirectory && !selected.isEmpty()) {
            const int row = static_cast<int>(names.indexOf(selected));
            if (row >= 0) {
                setCurrentIndex(model_.index(row));
                selectionKept = true;
            }
        }
        quiet_ = false;
        listedDirectory_ = directory_;
        // A new directory, or a selected file that vanished, is a change of the list.
        if (!sameDirectory || (!selected.isEmpty() && !selectionKept)) emit changed();
    }
    if (relistPending_) {  // changes came while listing: taken together after a pause
        relistPending_ = false;
        relistTimer_.start();
    } else {
        emit listingFinished();
    }
}

QString FileListBox::selectedPath() const {
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !selectionModel()->isSelected(index)) return QString();
    return QDir(listedDirectory_).filePath(index.data().toString());
}

bool FileListBox::selectName(const QString& name) {
    const int row = static_cast<int>(model_.stringList().indexOf(name));
    if (row < 0) return false;
    setCurrentIndex(model_.index(row));
    return true;
}

void FileListBox::clearSelectionQuietly() {
    quiet_ = true;
    selectionModel()->clear();
    quiet_ = false;
}

void FileListBox::mousePressEvent(QMouseEvent* event) {
    mousePressing_ = true;
    QListView::mousePressEvent(event);
    mousePressing_ = false;
}

void FileListBox::focusInEvent(QFocusEvent* event) {
    // Taking the focus selects nothing: the first arrow key selects the first file.
    const bool hadCurrent = currentIndex().isValid();
    quiet_ = true;
    QListView::focusInEvent(event);
    if (!hadCurrent) selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    quiet_ = false;
}

void FileListBox::onCurrentChanged(const QModelIndex& current) {
    if (quiet_ || (current.isValid() && !selectionModel()->isSelected(current))) return;
    // A mouse press selects first and reports the click when released.
    if (current.isValid() && !mousePressing_) emit itemClicked();
    emit changed();
}

void FileListBox::selectShownRow() {
    // The scroll bar has moved (arrows, wheel, page or drag) but the rows not yet: its position
    // is the row about to show.
    const QModelIndex shown = model_.index(verticalScrollBar()->sliderPosition());
    if (shown.isValid() && shown != currentIndex()) setCurrentIndex(shown);
}

}  // namespace kelvarox

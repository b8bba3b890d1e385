#include "ui/FileListBox.h"

#include <QDir>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QtConcurrent/QtConcurrentRun>

#include "ui/DirectoryListing.h"

namespace kelvarox {

namespace {

// Rows of the list are 13 pixels high.
class RowHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(13);
        return size;
    }
};

QString Normalized(const QString& directory) { return QDir::cleanPath(QDir(directory).absolutePath()); }

}  // namespace

FileListBox::FileListBox(QWidget* parent) : QListView(parent) {
    setModel(&model_);
    setItemDelegate(new RowHeightDelegate(this));
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { OnCurrentChanged(current); });
    connect(this, &QListView::clicked, this, [this] { emit ItemClicked(); });
    connect(this, &QListView::doubleClicked, this, [this] { emit ItemDoubleClicked(); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { StartListing(); });
    connect(&listing_, &QFutureWatcher<Listing>::finished, this, [this] { ApplyListing(); });
}

FileListBox::~FileListBox() {
    if (cancelListing_) cancelListing_->store(true);
    listing_.waitForFinished();
}

void FileListBox::SetDirectory(const QString& directory) {
    const QString normalized = Normalized(directory);
    if (normalized == directory_) return;
    CheckDirectoryCanBeEntered(normalized);
    if (!directory_.isEmpty()) watcher_.removePath(directory_);
    if (cancelListing_) cancelListing_->store(true);  // the old directory's names are not wanted
    directory_ = normalized;
    watcher_.addPath(directory_);
    StartListing();
}

void FileListBox::StartListing() {
    if (listing_.isRunning()) {
        relistPending_ = true;  // list again once the running listing ends
        return;
    }
    relistPending_ = false;
    const QString directory = directory_;
    cancelListing_ = std::make_shared<std::atomic<bool>>(false);
    listing_.setFuture(QtConcurrent::run([directory, cancel = cancelListing_] {
        return Listing{directory, ListBlockFiles(directory, cancel.get())};
    }));
}

void FileListBox::ApplyListing() {
    const Listing result = listing_.result();
    if (result.directory != directory_) {  // the list was pointed elsewhere meanwhile
        StartListing();
        return;
    }
    const QStringList& names = result.names;
    const bool sameDirectory = listedDirectory_ == directory_;
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
    if (!sameDirectory || (!selected.isEmpty() && !selectionKept)) emit Changed();
    if (relistPending_) StartListing();
    else emit ListingFinished();
}

QString FileListBox::SelectedPath() const {
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !selectionModel()->isSelected(index)) return QString();
    return QDir(listedDirectory_).filePath(index.data().toString());
}

bool FileListBox::SelectName(const QString& name) {
    const int row = static_cast<int>(model_.stringList().indexOf(name));
    if (row < 0) return false;
    setCurrentIndex(model_.index(row));
    return true;
}

void FileListBox::ClearSelectionQuietly() {
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

void FileListBox::OnCurrentChanged(const QModelIndex& current) {
    if (quiet_ || (current.isValid() && !selectionModel()->isSelected(current))) return;
    // A mouse press selects first and reports the click when released.
    if (current.isValid() && !mousePressing_) emit ItemClicked();
    emit Changed();
}

}  // namespace kelvarox

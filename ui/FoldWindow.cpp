#include "ui/FoldWindow.h"

#include "core/ChannelCatalogue.h"
#include "core/Errors.h"
#include "render/FoldPainter.h"
#include "render/PictureFile.h"
#include "render/TextCodec.h"
#include "ui/ErrorReport.h"
#include "ui/Notifier.h"
#include "ui_FoldWindow.h"

namespace kelvarox {

using namespace timeline;

namespace {

const char* const kPictureFilters = "PNG image (*.png);;SVG picture (*.svg);;PDF document (*.pdf)";
const char* const kCsvFilters = "CSV file (*.csv)";
// While samples come, the picture is composed anew at most this often.
constexpr int kComposeIntervalMs = 150;

std::string RangeText(const archive::OrbitRange& orbits) {
    return "orbits " + (orbits.from ? std::to_string(*orbits.from) : std::string("first")) + " to " +
           (orbits.to ? std::to_string(*orbits.to) : std::string("last"));
}

}  // namespace

FoldWindow::FoldWindow(FoldReader::Request request, std::string title, Notifier& notifier, QWidget* parent)
    : QWidget(parent, Qt::Window), request_(std::move(request)), title_(std::move(title)), notifier_(notifier),
      ui_(std::make_unique<Ui::FoldWindow>()), samples_(std::make_shared<FoldSamples>()) {
    ui_->setupUi(this);
    setWindowTitle(ToQt("Fold " + title_ + "  Kelvarox"));
    ui_->statusLabel->setText(ToQt("Reading the samples of " + RangeText(request_.orbits) + " ..."));
    ui_->saveImageButton->setEnabled(false);
    ui_->saveCsvButton->setEnabled(false);
    composeTimer_.setSingleShot(true);
    composeTimer_.setInterval(kComposeIntervalMs);
    connect(&composeTimer_, &QTimer::timeout, this, &FoldWindow::compose);
    connect(ui_->foldCanvas, &FoldCanvas::resized, this, &FoldWindow::compose);
    connect(ui_->foldCanvas, &FoldCanvas::hovered, this, [this](const std::optional<FoldHit>& hit) {
        ui_->readoutLabel->setText(hit ? ToQt(FoldHitText(*hit)) : QString());
    });
    connect(ui_->foldCanvas, &FoldCanvas::orbitClicked, this, &FoldWindow::orbitChosen);
    connect(ui_->saveImageButton, &QPushButton::clicked, this, &FoldWindow::saveImage);
    connect(ui_->saveCsvButton, &QPushButton::clicked, this, &FoldWindow::saveCsv);
    reader_ = new FoldReader(request_, this);
    connect(reader_, &FoldReader::samplesRead, this, &FoldWindow::take);
    connect(reader_, &FoldReader::finished, this, &FoldWindow::finish);
}

FoldWindow::~FoldWindow() = default;

void FoldWindow::take(const std::shared_ptr<const FoldSamples>& more, const std::vector<FoldBin>& bins) {
    samples_->Append(*more);
    bins_ = bins;
    if (!composeTimer_.isActive()) composeTimer_.start();
}

void FoldWindow::finish(const QString& problem) {
    // Deleted once its signal has been handled, not within it.
    reader_->deleteLater();
    reader_ = nullptr;
    composeTimer_.stop();
    compose();
    if (!problem.isEmpty()) {
        ui_->statusLabel->setText(problem);
    } else if (samples_->PieceCount() == 0) {
        ui_->statusLabel->setText(ToQt("No samples in " + RangeText(request_.orbits)));
    }
    ui_->saveImageButton->setEnabled(samples_->PieceCount() > 0);
    ui_->saveCsvButton->setEnabled(samples_->PieceCount() > 0);
}

FoldPicture FoldWindow::picture() const {
    return ComposeFold(*samples_, bins_, request_.bins, title_, ui_->foldCanvas->width(), ui_->foldCanvas->height());
}

void FoldWindow::compose() {
    FoldPicture picture = this->picture();
    if (samples_->PieceCount() > 0) ui_->statusLabel->setText(ToQt(picture.subtitle + (reader_ ? " ..." : "")));
    ui_->foldCanvas->setPicture(std::move(picture), samples_);
}

std::string FoldWindow::csv() const { return FoldCsv(bins_); }

void FoldWindow::saveImage() {
    RunHandler(notifier_, [this] {
        const auto path = notifier_.AskForSaveFile("Save Image", saveFolder_.In(fileName(".png")), kPictureFilters);
        if (!path) return;
        const auto format = PictureFormatOf(*path, kFoldSaveFormats);
        if (!format) throw KelvaroxError(NoPictureSuffixMessage(*path, kFoldSaveFormats));
        const FoldPicture picture = this->picture();
        SaveWholeFile(*path,
                      EncodePicture(QSize(picture.width, picture.height), *format, QStringLiteral("Kelvarox fold"),
                                    [&](QPainter& painter) { PaintFold(painter, picture); }));
        saveFolder_.Remember(*path);
    });
}

std::string FoldWindow::fileName(const char* suffix) const {
    return "fold-" + ChannelCatalogue::ChannelNumberText(request_.channel).substr(1) + suffix;
}

void FoldWindow::saveCsv() {
    RunHandler(notifier_, [this] {
        const auto path = notifier_.AskForSaveFile("Save CSV of the fold of " + title_,
                                                   saveFolder_.In(fileName(".csv")), kCsvFilters);
        if (!path) return;
        SaveWholeFile(*path, QByteArray::fromStdString(csv()));
        saveFolder_.Remember(*path);
    });
}

}  // namespace kelvarox

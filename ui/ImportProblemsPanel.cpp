#include "ui/ImportProblemsPanel.h"

#include <QHeaderView>

#include "archive/ArchiveMessages.h"
#include "core/Conversions.h"
#include "core/Errors.h"
#include "render/TextCodec.h"
#include "services/UnsureBlocks.h"
#include "ui/ErrorReport.h"
#include "ui/Notifier.h"
#include "ui_ImportProblemsPanel.h"

namespace kelvarox {

namespace {

constexpr int kShaRole = Qt::UserRole;

std::string UnsureMessage(const archive::UnsurePlacement& block) {
    if (block.outlier) return archive::msg::Outlier(block.orbit);
    return "orbit " + std::to_string(block.orbit) + " is not sure: the dates could not decide it";
}

}  // namespace

ImportProblemsPanel::ImportProblemsPanel(const std::string& archiveLocation, Notifier& notifier, QWidget* parent)
    : QWidget(parent), notifier_(notifier), ui_(std::make_unique<Ui::ImportProblemsPanel>()),
      unsure_(std::make_unique<UnsureBlocks>(archiveLocation)) {
    ui_->setupUi(this);
    ui_->problemList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(unsure_.get(), &UnsureBlocks::unsureRead, this,
            [this](const std::vector<archive::UnsurePlacement>& blocks) {
                blocks_ = blocks;
                showList();
            });
    connect(unsure_.get(), &UnsureBlocks::orbitSet, this, &ImportProblemsPanel::orbitSet);
    connect(unsure_.get(), &UnsureBlocks::failed, this,
            [this](const QString& message) { notifier_.ShowError(message.toStdString()); });
    connect(ui_->setOrbitButton, &QPushButton::clicked, this, &ImportProblemsPanel::setOrbit);
    connect(ui_->problemList, &QTreeWidget::itemDoubleClicked, this, &ImportProblemsPanel::setOrbit);
    connect(ui_->problemList, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = ui_->problemList->selectedItems();
        ui_->setOrbitButton->setEnabled(!selected.isEmpty() && !selected[0]->data(0, kShaRole).isNull());
    });
    unsure_->readNow();
}

ImportProblemsPanel::~ImportProblemsPanel() = default;

int ImportProblemsPanel::count() const { return static_cast<int>(failures_.size() + blocks_.size()); }

void ImportProblemsPanel::showFailures(const ArchiveFeed::Failures& failures) {
    failures_ = failures;
    showList();
}

void ImportProblemsPanel::readArchiveNow() { unsure_->readNow(); }

void ImportProblemsPanel::showList() {
    QTreeWidget* list = ui_->problemList;
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    const QVariant was = selected.isEmpty() ? QVariant() : selected[0]->data(0, kShaRole);
    list->clear();
    for (const auto& [file, message] : failures_) new QTreeWidgetItem(list, {file, QString(), message});
    for (const archive::UnsurePlacement& block : blocks_) {
        auto* item =
            new QTreeWidgetItem(list, {PathToQt(block.file), QString::number(block.orbit), ToQt(UnsureMessage(block))});
        item->setData(0, kShaRole, ToQt(block.sha256));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        if (was.isValid() && was == item->data(0, kShaRole)) item->setSelected(true);
    }
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        list->topLevelItem(i)->setToolTip(2, list->topLevelItem(i)->text(2));
    emit countChanged(count());
}

void ImportProblemsPanel::setOrbit() {
    RunHandler(notifier_, [this] {
        const QList<QTreeWidgetItem*> selected = ui_->problemList->selectedItems();
        if (selected.isEmpty() || selected[0]->data(0, kShaRole).isNull()) return;
        const QTreeWidgetItem* item = selected[0];
        const auto answer = notifier_.AskForText(
            "Set Orbit", "The orbit of the block " + item->text(0).toStdString() + " (the blocks after it follow):",
            item->text(1).toStdString());
        if (!answer) return;
        const std::optional<int64_t> orbit = ParseOrbitNumber(*answer);
        if (!orbit) throw KelvaroxError("'" + *answer + "' is not an orbit number");
        unsure_->setOrbit(item->data(0, kShaRole).toString(), *orbit);
    });
}

}  // namespace kelvarox

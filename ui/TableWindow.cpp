#include "ui/TableWindow.h"

#include <QAction>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMenu>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "core/DataTable.h"
#include "core/DataTableRows.h"
#include "render/PictureFile.h"
#include "render/TextCodec.h"
#include "ui/ErrorReport.h"
#include "ui/Notifier.h"
#include "ui/ProgramState.h"
#include "ui/WindowFrame.h"
#include "ui_TableWindow.h"

namespace kelvarox {

namespace {

// The table's CR LF line ends as the box's line breaks.
QString TextLines(const std::string& text) {
    QString lines = ToQt(text);
    lines.replace(QLatin1String(kLineEnd), QStringLiteral("\n"));
    return lines;
}

}  // namespace

TableWindow::TableWindow(ProgramState& state, Notifier& notifier, QWidget* owner)
    : QWidget(owner), state_(state), notifier_(notifier), ui_(std::make_unique<Ui::TableWindow>()),
      fillTimer_(new QTimer(this)) {
    ui_->setupUi(this);
    // Each turn of the event loop gets the next rows.
    fillTimer_->setInterval(0);
    connect(fillTimer_, &QTimer::timeout, this, &TableWindow::fillSomeRows);
    MakeFixedWindow(this);
    setFont(FormFont(font(), 11, false));
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(11);
    ui_->tableText->setFont(fixed);
    // The box shows its form's placeholder text until the first table replaces it, as it
    // always has done.
    // Where the layout places it, every time: this window has no stored position.
    move(244, 224);

    auto* saveAction = new QAction(QStringLiteral("Save As..."), this);
    saveAction->setObjectName(QStringLiteral("saveAsAction"));
    connect(saveAction, &QAction::triggered, this, &TableWindow::saveAs);
    auto* copyAction = new QAction(QStringLiteral("Copy All"), this);
    copyAction->setObjectName(QStringLiteral("copyAllAction"));
    connect(copyAction, &QAction::triggered, this, &TableWindow::copyAll);
    // The box's own menu, with the two after it.
    ui_->tableText->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui_->tableText, &QWidget::customContextMenuRequested, this,
            [this, saveAction, copyAction](const QPoint& at) {
                std::unique_ptr<QMenu> menu(ui_->tableText->createStandardContextMenu());
                menu->addSeparator();
                menu->addActions({saveAction, copyAction});
                menu->exec(ui_->tableText->viewport()->mapToGlobal(at));
            });
}

TableWindow::~TableWindow() = default;

void TableWindow::showTable(const ChannelBoxTexts& boxes) {
    endFill();
    const std::string heading = DataTableHeading(boxes.name, boxes.number);
    if (!state_.PrepareSeries(boxes)) return;
    // The fill works on its own copy, whatever happens to the program state meanwhile.
    const BlockInMemory& loaded = state_.Loaded();
    auto rows = std::make_unique<DataTableRows>(loaded.block, loaded.header, state_.GraphAndTable().series);
    setTableText(heading);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    if (rows->AtEnd()) return;
    rows_ = std::move(rows);
    fillTimer_->start();
}

void TableWindow::fillSomeRows() {
    while (rows_ && !rows_->AtEnd()) {
        const int index = rows_->NextIndex();
        appendToTable(rows_->Next());
        if (PausesAfterRow(index)) break;
    }
    if (rows_ && rows_->AtEnd()) endFill();
}

void TableWindow::endFill() {
    fillTimer_->stop();
    rows_.reset();
}

std::string TableWindow::tableText() const {
    QString text = ui_->tableText->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return FromQt(text);
}

void TableWindow::saveAs() {
    RunHandler(notifier_, [this] {
        const auto path = notifier_.AskForSaveFile("Save As", "table.txt", "Text file (*.txt);;All files (*)");
        if (path) SaveWholeFile(*path, QByteArray::fromStdString(tableText()));
    });
}

void TableWindow::copyAll() { QGuiApplication::clipboard()->setText(ui_->tableText->toPlainText()); }

void TableWindow::setTableText(const std::string& text) { ui_->tableText->setPlainText(TextLines(text)); }

void TableWindow::appendToTable(const std::string& text) {
    QTextCursor end(ui_->tableText->document());
    end.movePosition(QTextCursor::End);
    end.insertText(TextLines(text));
}

}  // namespace kelvarox

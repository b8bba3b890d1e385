#include "ui/TableWindow.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>

#include "core/DataTable.h"
#include "core/DataTableRows.h"
#include "ui/ErrorReport.h"
#include "ui/Notifier.h"
#include "ui/ProgramState.h"
#include "render/PictureFile.h"
#include "render/TextCodec.h"
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
    : QWidget(owner), state_(state), notifier_(notifier), ui_(std::make_unique<Ui::TableWindow>()) {
    ui_->setupUi(this);
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
    connect(ui_->tableText, &QWidget::customContextMenuRequested, this, [this, saveAction, copyAction](const QPoint& at) {
        std::unique_ptr<QMenu> menu(ui_->tableText->createStandardContextMenu());
        menu->addSeparator();
        menu->addActions({saveAction, copyAction});
        menu->exec(ui_->tableText->viewport()->mapToGlobal(at));
    });
}

TableWindow::~TableWindow() = default;

void TableWindow::showTable(const ChannelBoxTexts& boxes) {
    EndFill();
    const std::string heading = DataTableHeading(boxes.name, boxes.number);
    if (!state_.PrepareSeries(boxes)) return;
    // The fill works on its own copy, whatever happens to the program state meanwhile.
    const BlockInMemory& loaded = state_.Loaded();
    DataTableRows rows(loaded.Block, loaded.Header, state_.GraphAndTable().Series);
    SetTableText(heading);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    FillRows(rows);
}

void TableWindow::FillRows(DataTableRows& rows) {
    const uint64_t generation = ++fillGeneration_;
    filling_ = true;
    const QPointer<TableWindow> self(this);
    while (!rows.AtEnd()) {
        const int index = rows.NextIndex();
        AppendToTable(rows.Next());
        if (PausesAfterRow(index)) {
            QCoreApplication::processEvents();
            if (!self) return;                            // the program went away meanwhile
            if (generation != fillGeneration_) return;    // another action ended this fill
        }
    }
    filling_ = false;
}

void TableWindow::EndFill() {
    ++fillGeneration_;
    filling_ = false;
}

std::string TableWindow::TableText() const {
    QString text = ui_->tableText->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return FromQt(text);
}

void TableWindow::saveAs() {
    RunHandler(notifier_, [this] {
        const auto path = notifier_.AskForSaveFile("Save As", "table.txt", "Text file (*.txt);;All files (*)");
        if (path) SaveWholeFile(*path, QByteArray::fromStdString(TableText()));
    });
}

void TableWindow::copyAll() { QGuiApplication::clipboard()->setText(ui_->tableText->toPlainText()); }

void TableWindow::SetTableText(const std::string& text) { ui_->tableText->setPlainText(TextLines(text)); }

void TableWindow::AppendToTable(const std::string& text) {
    QTextCursor end(ui_->tableText->document());
    end.movePosition(QTextCursor::End);
    end.insertText(TextLines(text));
}

}  // namespace kelvarox

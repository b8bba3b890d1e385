#include "ui/Wod_4.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>

#include "core/DataTable.h"
#include "core/DataTableRows.h"
#include "ui/Application.h"
#include "ui/TextCodec.h"
#include "ui/WindowFrame.h"
#include "ui_Wod_4.h"

namespace kelvarox {

namespace {

// The table's CR LF line ends as the box's line breaks.
QString MemoLines(const std::string& text) {
    QString lines = ToQt(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return lines;
}

}  // namespace

TWod4::TWod4(KelvaroxApplication& app, QWidget* owner) : QWidget(owner), app_(app), ui_(std::make_unique<Ui::TWod4>()) {
    ui_->setupUi(this);
    MakeFixedWindow(this, QSize(312, 299));
    setFont(FormFont(font(), 11, false));
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(11);
    ui_->Memo1->setFont(fixed);
    // Where the layout places it, every time: this window has no stored position.
    move(244, 224);
}

TWod4::~TWod4() = default;

void TWod4::TableAction(const MainBoxTexts& boxes) {
    EndFill();
    const std::string heading = DataTableHeading(boxes.name, boxes.number);
    ProgramState& state = app_.State();
    if (!PrepareSeries(state, boxes)) return;
    // The fill works on its own copy, whatever happens to the program state meanwhile.
    DataTableRows rows(state.Block, state.Header, state.Series);
    SetMemoText(heading);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    FillRows(rows);
}

void TWod4::FillRows(DataTableRows& rows) {
    const uint64_t generation = ++fillGeneration_;
    filling_ = true;
    const QPointer<TWod4> self(this);
    while (!rows.AtEnd()) {
        const int index = rows.NextIndex();
        AppendToMemo(rows.Next());
        if (PausesAfterRow(index)) {
            QCoreApplication::processEvents();
            if (!self) return;                            // the program went away meanwhile
            if (generation != fillGeneration_) return;    // another action ended this fill
        }
    }
    filling_ = false;
}

void TWod4::EndFill() {
    ++fillGeneration_;
    filling_ = false;
}

std::string TWod4::MemoText() const {
    QString text = ui_->Memo1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return FromQt(text);
}

void TWod4::SetMemoText(const std::string& text) { ui_->Memo1->setPlainText(MemoLines(text)); }

void TWod4::AppendToMemo(const std::string& text) {
    QTextCursor end(ui_->Memo1->document());
    end.movePosition(QTextCursor::End);
    end.insertText(MemoLines(text));
}

}  // namespace kelvarox

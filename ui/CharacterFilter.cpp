#include "ui/CharacterFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace kelvarox {

namespace {

// How many texts of a box undo and redo may bring back unfiltered.
constexpr qsizetype kHeldTexts = 256;

}  // namespace

CharacterFilter::CharacterFilter(QString allowed, QObject* parent) : QObject(parent), allowed_(std::move(allowed)) {}

bool CharacterFilter::allows(QChar c) const { return c.isNull() || allowed_.contains(c); }

void CharacterFilter::watch(QLineEdit* box) {
    box->installEventFilter(this);
    held_[box] = {box->text()};
    // A user's edit is announced before the change of text, which the program's setText
    // announces too.
    connect(box, &QLineEdit::textEdited, this, [this, box](const QString& text) { filterEdit(box, text); });
    connect(box, &QLineEdit::textChanged, this, [this, box](const QString& text) {
        if (text != box->text()) return;  // a text that a filtered edit has already replaced
        QStringList& texts = held_[box];
        if (texts.isEmpty() || texts.front() != text) texts = {text};  // set by the program
    });
    connect(box, &QObject::destroyed, this, [this, box] { held_.remove(box); });
}

void CharacterFilter::filterEdit(QLineEdit* box, const QString& edited) {
    const bool typed = typing_ == box;
    typing_ = nullptr;
    QStringList& texts = held_[box];
    if (texts.contains(edited)) {  // undo or redo
        texts.removeOne(edited);
        texts.prepend(edited);
        return;
    }
    // The inserted part lies between what the edit left alone at either end.
    const QString before = texts.isEmpty() ? QString() : texts.front();
    qsizetype head = 0;
    while (head < before.size() && head < edited.size() && before[head] == edited[head]) ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < edited.size() - head &&
           before[before.size() - 1 - tail] == edited[edited.size() - 1 - tail])
        ++tail;
    QString inserted;
    for (const QChar c : edited.mid(head, edited.size() - head - tail))
        if (c != QLatin1Char('\b') && allows(c)) inserted += c;
    const QString filtered = edited.left(head) + inserted + edited.right(tail);
    texts.prepend(filtered);
    if (texts.size() > kHeldTexts) texts.removeAt(texts.size() - 2);  // the program's text stays
    if (filtered != edited) {
        box->setText(filtered);
        box->setCursorPosition(static_cast<int>(head + inserted.size()));
    }
    if (!typed && !inserted.isEmpty()) emit pasted(box);
}

bool CharacterFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) typing_ = nullptr;
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) return false;
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;  // moves the focus
    const QString text = key->text();
    if (text.isEmpty()) return false;  // a key that types nothing
    for (const QChar c : text) {
        if (!allows(c)) return true;  // discarded
    }
    typing_ = qobject_cast<QLineEdit*>(watched);
    return false;
}

}  // namespace kelvarox

#include "ui/CharacterFilter.h"

#include <QKeyEvent>

namespace kelvarox {

CharacterFilter::CharacterFilter(QString allowed, QObject* parent) : QObject(parent), allowed_(std::move(allowed)) {}

bool CharacterFilter::Allows(QChar c) const { return c.isNull() || allowed_.contains(c); }

bool CharacterFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) return false;
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;  // moves the focus
    const QString text = key->text();
    if (text.isEmpty()) return false;  // a key that types nothing
    for (const QChar c : text) {
        if (!Allows(c)) return true;  // discarded
    }
    return false;
}

}  // namespace kelvarox

#pragma once
// The character rule of edit boxes: a character reaches the box only when it is one of a given
// set. A typed character that is not is discarded and the box does not change; text that
// arrives otherwise (pasted by menu, shortcut or middle button, dropped, from an input method)
// loses the characters that are not and keeps the others. Keys that type no character (cursor
// keys, Delete, Home, End) and shortcuts with Ctrl or Alt pass as on any edit box. Text the
// program puts into a box is not filtered, and neither is a text the box held before that undo
// or redo brings back.
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QLineEdit;

namespace kelvarox {

class CharacterFilter : public QObject {
    Q_OBJECT
public:
    // `allowed` lists the characters that may be typed; backspace is given as "\b".
    CharacterFilter(QString allowed, QObject* parent);
    bool allows(QChar c) const;

    // Applies the rule to `box` from now on.
    void watch(QLineEdit* box);

signals:
    // Text arrived in `box` other than by a typed key, and was filtered.
    void pasted(QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void filterEdit(QLineEdit* box, const QString& edited);

    QString allowed_;
    QLineEdit* typing_ = nullptr;  // the box of the key being typed, until its edit or release
    // Per box, the texts it has held since the program last set its text: the current one first,
    // the program's last.
    QHash<QLineEdit*, QStringList> held_;
};

// The characters of the coefficient boxes, and of the Hex# and Orbit HiByte boxes.
inline const QString kCoefficientCharacters = QStringLiteral("0123456789\b.-");
inline const QString kHexCharacters = QStringLiteral("0123456789ABCDEF#\b");
// The characters of the setup window's address boxes.
inline const QString kDigitCharacters = QStringLiteral("0123456789\b");

}  // namespace kelvarox

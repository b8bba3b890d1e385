#pragma once
// A key filter for edit boxes: a typed character passes only when it is one of a given set;
// any other is discarded and the box does not change. Keys that type no character (cursor
// keys, Delete, Home, End) and shortcuts with Ctrl or Alt (copy, paste, select all) pass as
// on any edit box; pasted text is not filtered.
#include <QObject>
#include <QString>

namespace kelvarox {

class CharacterFilter : public QObject {
    Q_OBJECT
public:
    // `allowed` lists the characters that may be typed; backspace is given as "\b".
    CharacterFilter(QString allowed, QObject* parent);
    bool Allows(QChar c) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString allowed_;
};

// The characters of the coefficient boxes, and of the Hex# and Orbit HiByte boxes.
inline const QString kCoefficientCharacters = QStringLiteral("0123456789\b.-");
inline const QString kHexCharacters = QStringLiteral("0123456789ABCDEF#\b");
// The characters of the setup window's address boxes.
inline const QString kDigitCharacters = QStringLiteral("0123456789\b");

}  // namespace kelvarox

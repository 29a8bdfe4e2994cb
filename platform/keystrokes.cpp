#include "platform/keystrokes.h"

#include <algorithm>

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>

namespace Keystrokes {

namespace {
// A key event per character costs a page more the longer its field's text grows (20,000
// characters took a minute and gigabytes in the page's process): a longer text goes in
// as input-method text, in pieces.
constexpr qsizetype MaxKeyedCharacters = 256;
constexpr qsizetype PieceCharacters = 4096;

// The key a keyboard sends for a character of plain ASCII (Qt's key codes are those
// characters, letters in upper case), so that pages reading the key code see a real one.
int keyFor(uint cp)
{
    return cp >= 0x20 && cp < 0x7f ? QChar(char16_t(cp)).toUpper().unicode() : 0;
}

void commitInPieces(QWidget *target, const QString &text)
{
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype n = qMin(PieceCharacters, text.size() - at);
        if (at + n < text.size() && text.at(at + n - 1).isHighSurrogate())
            --n; // a pair stays whole
        QInputMethodEvent event;
        event.setCommitString(text.mid(at, n));
        QCoreApplication::sendEvent(target, &event);
        at += n;
    }
}
}

void typeInto(QWidget *target, const QString &text)
{
    if (!target)
        return;
    const QList<uint> codePoints = text.toUcs4();
    // A tab or a line break as a key would move the focus or be dropped: as text it is itself.
    const bool control = std::any_of(text.cbegin(), text.cend(),
                                     [](QChar c) { return c.category() == QChar::Other_Control; });
    if (control || codePoints.size() > MaxKeyedCharacters) {
        commitInPieces(target, text);
        return;
    }
    for (uint cp : codePoints) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t *>(&cp), 1);
        // The engine keeps one UTF-16 unit of a key's text: a character beyond them (an
        // emoji, a rare CJK one) would arrive as another. It goes in as input-method text.
        if (cp > 0xFFFF) {
            commitInPieces(target, one);
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, keyFor(cp), Qt::NoModifier, one);
        QKeyEvent release(QEvent::KeyRelease, keyFor(cp), Qt::NoModifier, one);
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::sendEvent(target, &release);
    }
}

}

#include "platform/keystrokes.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace Keystrokes {

void typeInto(QWidget *target, const QString &text)
{
    if (!target)
        return;
    const QList<uint> codePoints = text.toUcs4();
    for (uint cp : codePoints) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t *>(&cp), 1);
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, one);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, one);
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::sendEvent(target, &release);
    }
}

}

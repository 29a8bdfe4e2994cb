#include "app/framekeys.h"

#include "core/browsercontrol.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>

namespace {

// The keypad's and Shift's variants of a key (Ctrl+Shift+= is Ctrl++, Shift+Backtab is
// Shift+Tab) match as the shortcut map matches them.
bool holds(const QList<QKeySequence> &keys, QKeyCombination pressed)
{
    const Qt::KeyboardModifiers mods = pressed.keyboardModifiers() & ~Qt::KeypadModifier;
    for (const Qt::KeyboardModifiers m : {mods, mods & ~Qt::ShiftModifier})
        if (keys.contains(QKeySequence(QKeyCombination(m, pressed.key()))))
            return true;
    return pressed.key() == Qt::Key_Backtab && (mods & Qt::ShiftModifier)
        && keys.contains(QKeySequence(QKeyCombination(mods, Qt::Key_Tab)));
}

}

FrameKeys::FrameKeys(QMainWindow *frame) : QObject(frame), m_frame(frame)
{
    qApp->installEventFilter(this);
}

QAction *FrameKeys::addKey(const QString &name, const QList<QKeySequence> &keys, bool pagesAtRest)
{
    auto *action = new QAction(m_frame);
    action->setObjectName(name);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    m_frame->addAction(action);
    claim(action);
    if (pagesAtRest)
        m_pagesAtRest.append(keys);
    return action;
}

bool FrameKeys::pageKeeps(QWidget *focus, QKeyCombination pressed) const
{
    if (!holds(m_pagesAtRest, pressed))
        return false;
    for (; focus; focus = focus->parentWidget())
        if (auto *page = qobject_cast<BrowserControl *>(focus))
            return !page->isLoading();
    return false;
}

void FrameKeys::claim(QAction *action)
{
    for (const QKeySequence &key : action->shortcuts())
        if (!key.isEmpty() && !m_claimed.contains(key))
            m_claimed.append(key);
}

bool FrameKeys::claimed(QKeyCombination pressed) const
{
    return holds(m_claimed, pressed);
}

bool FrameKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::Wheel && type != QEvent::MouseButtonPress)
        return QObject::eventFilter(watched, event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_frame)
        return QObject::eventFilter(watched, event);

    if (type == QEvent::MouseButtonPress) {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        if (button != Qt::BackButton && button != Qt::ForwardButton)
            return false;
        for (QWidget *w = widget; w; w = w->parentWidget())
            if (qobject_cast<BrowserControl *>(w))
                return false;
        Q_EMIT historyButton(button == Qt::ForwardButton);
        return true;
    }

    if (type == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (pageKeeps(widget, key->keyCombination())) {
            event->accept(); // the page's own key
            return true;
        }
        if (claimed(key->keyCombination())) {
            // Not accepted: the frame's shortcut gets the key, not the widget's own binding.
            event->ignore();
            return true;
        }
        return false;
    }

    // A wheel turned over a combo box without the focus would choose another entry.
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        const bool focused = combo->hasFocus() || (combo->lineEdit() && combo->lineEdit()->hasFocus());
        if (!focused)
            return true;
    }
    return false;
}

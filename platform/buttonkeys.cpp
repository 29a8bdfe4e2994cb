#include "platform/buttonkeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace {

class EnterPresses : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || !button->isEnabled())
            return false;
        button->click();
        return true;
    }
};

// One filter for the whole programme: a click may delete the dialog, and the filter must outlive it.
QObject *enterPresses()
{
    static EnterPresses *filter = new EnterPresses(QCoreApplication::instance());
    return filter;
}

}

namespace ButtonKeys {

void enterPressesFocusedButton(QWidget *dialog)
{
    for (QPushButton *button : dialog->findChildren<QPushButton *>())
        button->installEventFilter(enterPresses());
}

}

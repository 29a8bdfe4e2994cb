#include "platform/dialogs.h"

#include <QInputDialog>

namespace {
Dialogs::AskHook askHook;
Dialogs::TellHook tellHook;
Dialogs::InputHook inputHook;
}

namespace Dialogs {

QString appTitle() { return QStringLiteral("Quillon"); }

bool ask(QWidget *parent, const QString &title, const QString &text, QMessageBox::Icon icon)
{
    if (askHook)
        return askHook({title, text, icon});
    QMessageBox box(icon, title.isEmpty() ? appTitle() : title, text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void tell(QWidget *parent, const QString &title, const QString &text, QMessageBox::Icon icon)
{
    if (tellHook) {
        tellHook({title, text, icon});
        return;
    }
    QMessageBox box(icon, title.isEmpty() ? appTitle() : title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString input(QWidget *parent, const QString &title, const QString &prompt, const QString &defaultText)
{
    if (inputHook)
        return inputHook(title, prompt);
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title.isEmpty() ? appTitle() : title, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

void setAskHook(AskHook hook) { askHook = std::move(hook); }
void setTellHook(TellHook hook) { tellHook = std::move(hook); }
void setInputHook(InputHook hook) { inputHook = std::move(hook); }

}

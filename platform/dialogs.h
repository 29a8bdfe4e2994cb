#pragma once
#include <QMessageBox>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

// Message and input boxes go through here so that tests can answer them.
namespace Dialogs {

struct Question {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Yes/No question with No as the default button; true for Yes.
bool ask(QWidget *parent, const QString &title, const QString &text,
         QMessageBox::Icon icon = QMessageBox::Question);
// A message with an OK button.
void tell(QWidget *parent, const QString &title, const QString &text,
          QMessageBox::Icon icon = QMessageBox::Information);
// A message with an OK button that leaves the caller running: nothing waits for it.
// It belongs to parent and goes when closed; null when a test hook took the message.
QMessageBox *notice(QWidget *parent, const QString &title, const QString &text,
                    QMessageBox::Icon icon = QMessageBox::Information);
// An input box; the empty text when cancelled.
QString input(QWidget *parent, const QString &title, const QString &prompt,
              const QString &defaultText = QString());

// A page's own question (its confirm()) with OK and Cancel, shown as plain text; true for OK.
// The box goes with parent if that closes meanwhile, answered Cancel.
bool confirm(QWidget *parent, const QString &title, const QString &text);
// A page's own question with a line for the answer (its prompt()), the question shown
// as plain text and the line filled with defaultText as given; false when cancelled.
bool prompt(QWidget *parent, const QString &title, const QString &text, const QString &defaultText,
            QString *answer);

// Runs a modal box made on the heap, then deletes it; true when it was answered with
// `yes`, and `read` then takes its fields while it is still there. Every modal box lives
// on the heap: its owner can close while it is up and take it along, which counts as
// cancelled.
bool runOwned(QDialog *box, int yes, const std::function<void()> &read = {});

// The application's title, used where a box has no title of its own.
QString appTitle();

// Test hooks: when set, they answer instead of a real box.
using AskHook = std::function<bool(const Question &)>;
using TellHook = std::function<void(const Question &)>;
using InputHook = std::function<QString(const QString &title, const QString &prompt)>;
void setAskHook(AskHook hook);
void setTellHook(TellHook hook);
void setInputHook(InputHook hook);
}

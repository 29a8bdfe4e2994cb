#include "platform/dialogs.h"

#include "platform/windowplacement.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

namespace {
Dialogs::AskHook askHook;
Dialogs::TellHook tellHook;
Dialogs::InputHook inputHook;
}

namespace {
// A box opens over its owner and inside the screen, also when the owner is hidden in the tray.
void place(QDialog &box, QWidget *parent)
{
    box.adjustSize();
    WindowPlacement::placeOver(&box, parent ? parent : QApplication::activeWindow());
}
}

namespace Dialogs {

QString appTitle() { return QStringLiteral("Quillon"); }

bool ask(QWidget *parent, const QString &title, const QString &text, QMessageBox::Icon icon)
{
    if (askHook)
        return askHook({title, text, icon});
    auto *box = new QMessageBox(icon, title.isEmpty() ? appTitle() : title, text,
                                QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    box->setTextFormat(Qt::PlainText); // messages quote names and titles from files and pages
    place(*box, parent);
    return runOwned(box, QMessageBox::Yes);
}

void tell(QWidget *parent, const QString &title, const QString &text, QMessageBox::Icon icon)
{
    if (tellHook) {
        tellHook({title, text, icon});
        return;
    }
    auto *box = new QMessageBox(icon, title.isEmpty() ? appTitle() : title, text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    place(*box, parent);
    runOwned(box, QMessageBox::Ok);
}

QMessageBox *notice(QWidget *parent, const QString &title, const QString &text, QMessageBox::Icon icon)
{
    if (tellHook) {
        tellHook({title, text, icon});
        return nullptr;
    }
    auto *box = new QMessageBox(icon, title.isEmpty() ? appTitle() : title, text, QMessageBox::Ok, parent);
    box->setWindowModality(Qt::NonModal); // the rest of the programme stays usable while it is up
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    place(*box, parent);
    box->show();
    return box;
}

QString input(QWidget *parent, const QString &title, const QString &prompt, const QString &defaultText)
{
    if (inputHook)
        return inputHook(title, prompt);
    auto *box = new QInputDialog(parent);
    box->setWindowTitle(title.isEmpty() ? appTitle() : title);
    box->setLabelText(prompt);
    box->setTextValue(defaultText);
    // Wide enough for its own title, which the window manager would otherwise cut short.
    const int titleWidth = box->fontMetrics().horizontalAdvance(box->windowTitle()) + 120;
    box->resize(qMax(box->sizeHint().width(), qMax(titleWidth, 320)), box->sizeHint().height());
    place(*box, parent);
    QString text;
    runOwned(box, QDialog::Accepted, [&] { text = box->textValue(); });
    return text;
}

bool confirm(QWidget *parent, const QString &title, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Question, title.isEmpty() ? appTitle() : title, text,
                                QMessageBox::Ok | QMessageBox::Cancel, parent);
    box->setTextFormat(Qt::PlainText);
    place(*box, parent);
    return runOwned(box, QMessageBox::Ok);
}

bool prompt(QWidget *parent, const QString &title, const QString &text, const QString &defaultText, QString *answer)
{
    auto *box = new QDialog(parent);
    box->setObjectName(QStringLiteral("pagePrompt"));
    box->setWindowTitle(title.isEmpty() ? appTitle() : title);
    auto *layout = new QVBoxLayout(box);
    // No buddy: an "&" in the page's words stays an "&", not a shortcut.
    auto *label = new QLabel(text, box);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto *line = new QLineEdit(defaultText, box);
    layout->addWidget(line);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, box, &QDialog::reject);
    layout->addWidget(buttons);
    // Wide enough for its title, which the window manager would otherwise cut short.
    box->setMinimumWidth(qMax(box->fontMetrics().horizontalAdvance(box->windowTitle()) + 120, 360));
    place(*box, parent);
    // Left as it was, the default goes back whole, also past what a line can hold.
    return runOwned(box, QDialog::Accepted, [&] { *answer = line->isModified() ? line->text() : defaultText; });
}

bool runOwned(QDialog *dialog, int yes, const std::function<void()> &read)
{
    const QPointer<QDialog> box(dialog);
    const bool answered = box->exec() == yes;
    if (!box)
        return false; // gone with its owner
    if (answered && read)
        read();
    delete box;
    return answered;
}

void setAskHook(AskHook hook) { askHook = std::move(hook); }
void setTellHook(TellHook hook) { tellHook = std::move(hook); }
void setInputHook(InputHook hook) { inputHook = std::move(hook); }

}

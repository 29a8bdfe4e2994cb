#include "tools/printing.h"

#include "core/browsercontrol.h"
#include "core/windowregistry.h"
#include "browser/childwindow.h"
#include "platform/dialogs.h"
#include "tools/printqueue.h"

#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>

namespace {

BrowserControl *browserOf(QWidget *window)
{
    if (auto *child = qobject_cast<ChildWindow *>(window))
        return child->Web1;
    return qobject_cast<BrowserControl *>(window);
}

const QString defaultSitesDialog = QStringLiteral("Form2");

}

namespace Printing {

void mnu_PageSetup(BrowserControl *web)
{
    if (web)
        web->ExecWB(BrowserControl::CmdPageSetup, BrowserControl::OptDoDefault);
}

void Print(BrowserControl *web, QWidget *dialogParent, Status status)
{
    if (!web)
        return;
    web->setFocus();
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(BrowserControl::sharedPageLayout());
    auto *dialog = new QPrintDialog(printer.get(), dialogParent ? dialogParent : web->window());
    dialog->setObjectName(QStringLiteral("printDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<BrowserControl> target(web);
    const QString caption = web->LocationName();
    QObject::connect(dialog, &QDialog::accepted, dialog, [target, caption, printer, status] {
        if (target)
            PrintQueue::instance()->enqueue(target, caption, status, printer);
        else if (status) // a popup that closed itself while the dialog was up
            status(QStringLiteral("\"%1\" was closed and was not printed.").arg(caption));
    });
    dialog->open();
}

void PrintAll(QWidget *dialogParent, Status status)
{
    for (QWidget *w : WindowRegistry::windows())
        if (w->objectName() == defaultSitesDialog)
            w->close();

    // Fixed at the start; a window closed during a question is passed over.
    QList<QPointer<QWidget>> windows;
    for (QWidget *w : WindowRegistry::windows())
        windows << w;

    for (const QPointer<QWidget> &window : windows) {
        if (!window || window->objectName() == defaultSitesDialog)
            continue;
        const QString caption = window->windowTitle();
        // The frame and the programme's own windows are captioned "Quillon ...": no page to print.
        // Stop captions the frame after the page, so the frame is known by name too.
        if (caption.startsWith(QLatin1String("Quillon")) || window->objectName() == QLatin1String("mdiform1"))
            continue;
        // A window whose page has not given a title yet is named by its address.
        const BrowserControl *asked = browserOf(window);
        const QString name = caption.isEmpty() && asked ? asked->LocationURL() : caption;
        if (!Dialogs::ask(dialogParent, QStringLiteral("Print All PAges"), QStringLiteral("Print Y/N: ") + name,
                          QMessageBox::Question))
            continue;
        if (!window)
            continue;
        if (BrowserControl *web = browserOf(window))
            PrintQueue::instance()->enqueue(web, name, status);
    }
}

}

#include "browser/addressbar.h"

#include "core/browsercontrol.h"
#include "browser/form1.h"
#include "browser/windowmanager.h"
#include "platform/internetsettings.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

AddressBar::AddressBar(WindowManager *windows, QComboBox *combo, QObject *parent)
    : QObject(parent), m_windows(windows), m_combo(combo)
{
    connect(combo->lineEdit(), &QLineEdit::textChanged, this, &AddressBar::cboAddress_Change);
    connect(combo, qOverload<int>(&QComboBox::activated), this, &AddressBar::cboAddress_Click);
    combo->lineEdit()->installEventFilter(this);
    // The list's own completer would fight ours.
    combo->setCompleter(nullptr);
}

void AddressBar::GetHist()
{
    const QStringList history = InternetSettings::typedUrls();
    const QString text = m_combo->currentText();
    m_completing = true;
    for (const QString &url : history)
        m_combo->addItem(url);
    m_combo->setEditText(text); // filling the list leaves the text as it was
    m_completing = false;
}

void AddressBar::cboAddress_Change()
{
    if (m_completing)
        return;
    QLineEdit *edit = m_combo->lineEdit();
    const QString typed = edit->text();
    if (typed.isEmpty())
        return;
    for (int i = 0; i < m_combo->count(); ++i) {
        const QString entry = m_combo->itemText(i);
        if (!entry.startsWith(typed, Qt::CaseInsensitive))
            continue;
        if (entry.size() > typed.size()) {
            m_completing = true;
            edit->setText(typed + entry.mid(typed.size()));
            edit->setSelection(typed.size(), entry.size() - typed.size());
            m_completing = false;
        }
        return;
    }
}

void AddressBar::cboAddress_Enter()
{
    const QString address = m_combo->currentText();
    // The window that was active keeps its page visible; the new window takes the next number.
    if (ChildWindow *before = m_windows->activeChild())
        before->Web1->setVisible(true);
    m_windows->openNumbered(m_windows->newBrowserWindow());
    if (ChildWindow *active = m_windows->activeChild()) {
        active->Web1->Navigate(address);
        active->Web1->setVisible(true);
    }
    // Remembered for the next start's list, as the desktop's browsers do; this list stays as it is.
    InternetSettings::recordTypedUrl(address);
}

void AddressBar::cboAddress_Click(int index)
{
    if (index < 0)
        return;
    const QString address = m_combo->itemText(index);
    if (ChildWindow *active = m_windows->activeChild())
        active->Web1->Navigate(address);
    m_combo->addItem(address);
}

bool AddressBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            cboAddress_Enter();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

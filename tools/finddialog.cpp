#include "tools/finddialog.h"

#include "core/browsercontrol.h"
#include "core/windowregistry.h"
#include "platform/buttonkeys.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

FindDialog::FindDialog(BrowserControl *web) : QDialog(web), m_web(web)
{
    setObjectName(QStringLiteral("findDialog"));
    setWindowTitle(QStringLiteral("Find"));

    auto *layout = new QGridLayout(this);
    auto *label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("txtFind"));
    label->setBuddy(m_text);
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("chkMatchCase"));
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblCount"));
    m_next = new QPushButton(QStringLiteral("Find &Next"), this);
    m_next->setObjectName(QStringLiteral("cmdNext"));
    m_next->setDefault(true);
    m_previous = new QPushButton(QStringLiteral("Find &Previous"), this);
    m_previous->setObjectName(QStringLiteral("cmdPrevious"));
    m_previous->setAutoDefault(false);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAutoDefault(false);
    // Find Next stays the default for Enter in the text field; on a button, Enter presses that one.
    ButtonKeys::enterPressesFocusedButton(this);

    layout->addWidget(label, 0, 0);
    layout->addWidget(m_text, 0, 1);
    layout->addWidget(m_next, 0, 2);
    layout->addWidget(m_matchCase, 1, 1);
    layout->addWidget(m_previous, 1, 2);
    layout->addWidget(m_count, 2, 1);
    layout->addWidget(close, 2, 2);

    connect(m_next, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(m_previous, &QPushButton::clicked, this, &FindDialog::findPrevious);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    // Not in the window registry: it belongs to the control and goes with its window.
    followWindow();
}

void FindDialog::followWindow()
{
    if (!m_window)
        m_window = WindowRegistry::subWindowOf(m_web);
    if (m_window && m_window->mdiArea())
        connect(m_window->mdiArea(), &QMdiArea::subWindowActivated, this, &FindDialog::currentWindowChanged);
}

void FindDialog::currentWindowChanged()
{
    // The current window is the one the frame's commands act on; the area merely going
    // inactive (the focus went to this dialog, say) keeps it and changes nothing here.
    QMdiSubWindow *current = m_window && m_window->mdiArea() ? m_window->mdiArea()->currentSubWindow() : nullptr;
    if (!current)
        return;
    if (current != m_window) {
        // Left up, it would go on searching a page nobody sees.
        if (isVisible()) {
            m_hiddenWithWindow = true;
            hide();
        }
    } else if (m_hiddenWithWindow) {
        m_hiddenWithWindow = false;
        // Back with its window, without taking the keys from the page brought forward.
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

FindDialog *FindDialog::showFor(BrowserControl *web)
{
    if (!web)
        return nullptr;
    auto *dialog = web->findChild<FindDialog *>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = new FindDialog(web);
    dialog->m_hiddenWithWindow = false;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->m_text->setFocus();
    dialog->m_text->selectAll();
    return dialog;
}

void FindDialog::findNext() { find(false); }
void FindDialog::findPrevious() { find(true); }

QString FindDialog::countText() const { return m_count->text(); }

void FindDialog::find(bool backward)
{
    if (!m_web)
        return;
    const QString text = m_text->text();
    const bool matchCase = m_matchCase->isChecked();
    if (text.isEmpty()) {
        clearHighlight();
        showCount(QString());
        return;
    }
    // A page whose renderer stopped never answers a search.
    if (m_web->rendererGone()) {
        m_lastText.clear();
        showCount(QStringLiteral("The page is not shown: there is nothing to search."));
        return;
    }
    // The engine takes a new search with the same words as "find next": start afresh.
    if (text != m_lastText || matchCase != m_lastCase)
        clearHighlight();
    m_lastText = text;
    m_lastCase = matchCase;
    QPointer<FindDialog> self(this);
    m_web->findText(text, backward, matchCase, [self](int activeMatch, int numberOfMatches) {
        if (!self)
            return;
        if (numberOfMatches <= 0)
            self->showCount(QStringLiteral("No matches"));
        else
            self->showCount(QStringLiteral("Match %1 of %2").arg(activeMatch).arg(numberOfMatches));
        Q_EMIT self->found(activeMatch, numberOfMatches);
    });
}

void FindDialog::showCount(const QString &text)
{
    m_count->setText(text);
    // A screen reader stays with the control that has the focus and never hears the label
    // change: the controls that start a search carry the result too.
    for (QWidget *control : {static_cast<QWidget *>(m_text), static_cast<QWidget *>(m_next),
                             static_cast<QWidget *>(m_previous)})
        control->setAccessibleDescription(text);
}

void FindDialog::clearHighlight()
{
    if (m_web)
        m_web->findText(QString(), false, false, nullptr);
    m_lastText.clear();
}

void FindDialog::closeEvent(QCloseEvent *event)
{
    clearHighlight();
    showCount(QString());
    QDialog::closeEvent(event);
}

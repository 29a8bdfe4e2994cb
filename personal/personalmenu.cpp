#include "personal/personalmenu.h"

#include "platform/keystrokes.h"

#include "core/browsercontrol.h"
#include "personal/form3.h"
#include "personal/personaldetails.h"

#include <QApplication>
#include <QMenu>

PersonalMenu::PersonalMenu(QMenu *existing, ActiveBrowser activeBrowser, QWidget *frame)
    : QObject(existing), m_menu(existing), m_activeBrowser(std::move(activeBrowser)), m_frame(frame)
{
    attach();
}

void PersonalMenu::attach()
{
    setObjectName(QStringLiteral("personalMenu"));
    auto item = [this](const char *name, const char *caption) {
        for (QAction *a : m_menu->actions())
            if (a->objectName() == QLatin1String(name))
                return a;
        QAction *a = m_menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(QLatin1String(name));
        return a;
    };
    for (int i = 0; i < PersonalDetails::Count; ++i) {
        const PersonalDetails::Field &field = PersonalDetails::fields[i];
        // Queued: the keys must reach the page element that gets the focus back
        // once the menu has closed, not the closing menu.
        connect(item(field.item, field.caption), &QAction::triggered, this, [this, i] {
            QMetaObject::invokeMethod(this, [this, i] { typeField(i); }, Qt::QueuedConnection);
        });
    }
    connect(item("n11", "Hide &Menu"), &QAction::triggered, this, &PersonalMenu::n11_Click);
    connect(m_menu, &QMenu::aboutToShow, this, [this] { m_focusBeforeMenu = QApplication::focusWidget(); });
}

bool PersonalMenu::isShown() const { return m_menu && m_menu->menuAction()->isVisible(); }

void PersonalMenu::Show()
{
    if (!m_menu)
        return;
    if (isShown()) {
        m_menu->menuAction()->setVisible(false);
        return;
    }
    m_menu->menuAction()->setVisible(true);
    if (Form3 *form = Form3::existing())
        form->loadFromStore();
    else
        Form3::instance(m_frame);
}

void PersonalMenu::n11_Click()
{
    if (m_menu)
        m_menu->menuAction()->setVisible(false);
}

void PersonalMenu::typeField(int i)
{
    // The dialog's boxes hold the stored values: it is modal, so no edit is pending.
    const QString text = Form3::withStoredValues(m_frame)->value(i);
    if (text.isEmpty())
        return;
    // Some desktops leave no window active when a menu closes: give the focus back
    // to where it was when the menu opened, so the keys land there.
    if (!QApplication::focusWidget() && m_focusBeforeMenu) {
        m_focusBeforeMenu->activateWindow();
        m_focusBeforeMenu->setFocus(Qt::PopupFocusReason);
    }
    typeIntoFocus(text, m_activeBrowser ? m_activeBrowser() : nullptr);
}

void PersonalMenu::typeIntoFocus(const QString &text, BrowserControl *fallback)
{
    if (text.isEmpty())
        return;
    QWidget *focus = QApplication::focusWidget();
    for (QWidget *w = focus; w; w = w->parentWidget()) {
        if (auto *browser = qobject_cast<BrowserControl *>(w)) {
            browser->typeText(text);
            return;
        }
        if (w->isWindow())
            break; // a dialog owned by a control (its find box) is not the page
    }
    if (!focus) {
        if (fallback)
            fallback->typeText(text);
        return;
    }
    // Not a page (the address bar, say): plain key events with the characters as text.
    Keystrokes::typeInto(focus, text);
}

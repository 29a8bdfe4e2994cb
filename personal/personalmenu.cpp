#include "personal/personalmenu.h"

#include "platform/keystrokes.h"

#include "core/browsercontrol.h"
#include "core/windowregistry.h"
#include "personal/form3.h"
#include "personal/personaldetails.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <utility>

namespace {
bool isMenu(const QWidget *widget) { return qobject_cast<const QMenuBar *>(widget) || qobject_cast<const QMenu *>(widget); }
}

PersonalMenu::PersonalMenu(QMenu *existing, ActiveBrowser activeBrowser, QWidget *frame, StatusText status)
    : QObject(existing), m_menu(existing), m_activeBrowser(std::move(activeBrowser)), m_frame(frame),
      m_status(std::move(status))
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
    connect(m_menu, &QMenu::aboutToShow, this, &PersonalMenu::noteTarget);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && !isMenu(now))
            m_lastFocus = now;
    });
}

namespace {
// The browser control the widget belongs to, or the widget itself when it is not part of a page.
QWidget *keyTarget(QWidget *focus)
{
    for (QWidget *w = focus; w; w = w->parentWidget()) {
        if (qobject_cast<BrowserControl *>(w))
            return w;
        if (w->isWindow())
            break;
    }
    return focus;
}

// False once the widget's window has been closed, even if it is not deleted yet.
bool inOpenWindow(QWidget *widget)
{
    if (QMdiSubWindow *sub = WindowRegistry::subWindowOf(widget))
        return sub->mdiArea() && sub->mdiArea()->subWindowList().contains(sub);
    return widget->window()->isVisible();
}

bool sameSite(const QUrl &a, const QUrl &b)
{
    return a.scheme() == b.scheme() && a.host() == b.host() && a.port() == b.port();
}
}

void PersonalMenu::noteTarget()
{
    m_focusBeforeMenu = QApplication::focusWidget();
    // Alt pressed alone gives the menu bar the keyboard before the menu opens: the person
    // was where the keyboard was before that.
    if (m_focusBeforeMenu && isMenu(m_focusBeforeMenu))
        m_focusBeforeMenu = m_lastFocus;
    QWidget *target = keyTarget(m_focusBeforeMenu);
    if (!target && m_activeBrowser)
        target = m_activeBrowser();
    m_target = target;
    m_hadTarget = target != nullptr;
    auto *page = qobject_cast<BrowserControl *>(target);
    m_targetSite = page ? QUrl(page->LocationURL()) : QUrl();
}

void PersonalMenu::say(const QString &text) const
{
    if (m_status)
        m_status(text);
}

bool PersonalMenu::backToTarget()
{
    if (!m_target || !inOpenWindow(m_target)) {
        say(QStringLiteral("Nothing was typed: the window you were filling in was closed while the Personal menu was open."));
        return false;
    }
    if (auto *page = qobject_cast<BrowserControl *>(m_target.data());
        page && !sameSite(QUrl(page->LocationURL()), m_targetSite)) {
        say(QStringLiteral("Nothing was typed: the page you were filling in went to another site while the Personal menu was open."));
        return false;
    }
    QWidget *current = QApplication::focusWidget();
    if (current && keyTarget(current) == m_target)
        return true;
    // Something else took the keyboard meanwhile (a window a page opened, say): the
    // chosen window becomes the active one again and its control gets the keyboard back.
    QWidget *focus = m_focusBeforeMenu ? m_focusBeforeMenu.data() : m_target.data();
    if (QMdiSubWindow *sub = WindowRegistry::subWindowOf(m_target))
        sub->mdiArea()->setActiveSubWindow(sub);
    if (!focus->isActiveWindow())
        focus->activateWindow();
    focus->setFocus(Qt::PopupFocusReason);
    current = QApplication::focusWidget();
    if (current && keyTarget(current) == m_target)
        return true;
    // Some desktops leave no window active when a menu closes; then the keys go to the
    // active page, which is fine as long as that is still the chosen one.
    if (!current && m_activeBrowser && m_activeBrowser() == m_target)
        return true;
    say(QStringLiteral("Nothing was typed: another window took the keyboard while the Personal menu was open. "
                       "Click into the field again and choose the detail once more."));
    return false;
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
    // The keys go where the person was when the menu opened, never to a window or
    // page that took the keyboard since. A menu item triggered without the menu
    // having been opened types into the focus as it is.
    const bool fromMenu = std::exchange(m_hadTarget, false);
    if (fromMenu && !backToTarget())
        return;
    if (!fromMenu && !QApplication::focusWidget() && m_focusBeforeMenu) {
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

#pragma once
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>

class BrowserControl;
class QAction;
class QMenu;
class QWidget;

// The "&Personal" menu `mnuPDs`: first on the frame's menu bar, hidden until asked
// for; each item types one stored detail into the focused element of the page.
class PersonalMenu : public QObject
{
    Q_OBJECT
public:
    // The browser control of the frame's active child window, or null.
    using ActiveBrowser = std::function<BrowserControl *()>;
    // Shows a line in the frame's status bar.
    using StatusText = std::function<void(const QString &)>;

    // Takes over a menu the frame built, finding its items by name (n1 ... n12)
    // and adding any that are missing. frame parents the personal details dialog
    // when the menu has to make one.
    PersonalMenu(QMenu *existing, ActiveBrowser activeBrowser, QWidget *frame, StatusText status = {});

    QMenu *menu() const { return m_menu; }
    bool isShown() const;

    // "Show / Hide Personal Details &Menu": toggles the menu; showing it reloads the details.
    void Show();
    // "Hide &Menu" (n11).
    void n11_Click();
    // What a detail item does once its menu has closed: types field i's current value.
    void typeField(int i);

    // Types text into whatever has the keyboard focus, each character as itself.
    static void typeIntoFocus(const QString &text, BrowserControl *fallback);

private:
    void attach();
    void noteTarget();
    // Puts the keyboard back where it was when the menu opened; false, with the reason
    // in the status bar, when the keys could reach another page than the chosen one.
    bool backToTarget();
    void say(const QString &text) const;

    QMenu *m_menu = nullptr; // owned by the menu bar, as this object is
    ActiveBrowser m_activeBrowser;
    QPointer<QWidget> m_frame;
    StatusText m_status;
    QPointer<QWidget> m_focusBeforeMenu;
    QPointer<QWidget> m_lastFocus; // the last widget outside the menus that had the keyboard
    // Where the keys were to go when the menu opened: the page (or other widget) that had
    // the keyboard, and the site that page showed.
    bool m_hadTarget = false;
    QPointer<QWidget> m_target;
    QUrl m_targetSite;
};

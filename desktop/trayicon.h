#pragma once
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

class QAction;
class QMenu;

// Quillon's icon in the desktop's notification area with its menu `mnuBar`.
// It knows nothing of the frame: what restoring, quitting, mail and about do is
// given as callbacks.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    using Callback = std::function<void()>;

    explicit TrayIcon(QObject *parent = nullptr);
    // Uses a tray menu the frame already built; items it lacks are added to it.
    // The menu stays its owner's.
    TrayIcon(QMenu *existingMenu, QObject *parent);
    ~TrayIcon() override;

    // False where the desktop has no tray: a frame hidden there could never come back.
    static bool isAvailable();
    // Tests: 1 or 0 stands in for the desktop's answer, -1 asks the desktop again.
    static void setAvailableOverride(int available);
    static QString toolTipText();

    void setOnRestore(Callback callback) { m_onRestore = std::move(callback); }
    void setOnQuit(Callback callback) { m_onQuit = std::move(callback); }
    void setOnMail(Callback callback) { m_onMail = std::move(callback); }
    void setOnAbout(Callback callback) { m_onAbout = std::move(callback); }

    // Puts the icon in the tray; a second call keeps the one icon.
    void show();
    // Takes the icon out of the tray.
    void hide();
    bool isVisible() const;

    QMenu *menu() const { return mnuBar; }
    QSystemTrayIcon *icon() const { return m_icon; }

    // What a mouse action on the icon does: left click and double click restore;
    // the right button's menu is opened by the tray itself.
    void pichook_Activated(QSystemTrayIcon::ActivationReason reason);

    QMenu *mnuBar = nullptr;
    QAction *sendMail = nullptr;
    QAction *RestoreM = nullptr;
    QAction *Aboutit = nullptr;
    QAction *mnuMain = nullptr;

private:
    void run(const Callback &callback);

    QSystemTrayIcon *m_icon = nullptr;
    Callback m_onRestore;
    Callback m_onQuit;
    Callback m_onMail;
    Callback m_onAbout;
    bool m_busy = false;
    bool m_ownsMenu = false;
};

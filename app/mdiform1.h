#pragma once
#include "app/menutree.h"
#include "core/framehost.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class BrowserControl;
class PopupPolicy;
class CoolBar;
class TabStrip;
class QToolBar;
class QComboBox;
class QPushButton;
class QCheckBox;
class QSlider;
class QLabel;
class QProgressBar;
class QMdiArea;
class QTimer;
class TrayIcon;
class WindowManager;
class AddressBar;
class Rotation;
class QLineEdit;
class AdditionalSitesPanel;
class FrameKeys;

// The main frame: menus, two coolbars, the tab strip, the status bar and the
// multiple-document area that holds browser and popup windows. It builds its
// controls and hands each command to the code that owns it; the parts it makes
// reach it only through FrameHost.
class mdiform1 : public QMainWindow, public FrameHost
{
    Q_OBJECT
public:
    explicit mdiform1(QWidget *parent = nullptr);
    ~mdiform1() override;

    // The load handler; false when the user chose to end at the single-instance question.
    bool MDIForm_Load(bool anotherCopyRunning);
    // Opens each address in a new numbered window of its own and brings the frame to the front.
    void openAddresses(const QStringList &addresses);
    // The single-instance question; false for No.
    bool prevy();
    // Fills the built-in catalogue lists.
    void additems();

    // Shown, or in the tray.
    FrameHost::Status Status = FrameHost::Status::MAX;

    // Controls, by their names.
    CoolBar *CoolBar1 = nullptr;
    CoolBar *CoolBar2 = nullptr;
    TabStrip *tb = nullptr;
    QToolBar *tb2 = nullptr;
    QToolBar *Quick = nullptr;
    QComboBox *cboAddress = nullptr;
    QComboBox *sites = nullptr;
    QComboBox *tools = nullptr;
    QPushButton *popStat = nullptr;
    QPushButton *cmdHide = nullptr;
    QPushButton *MP3 = nullptr;
    QCheckBox *FlickCheck13 = nullptr;
    QSlider *Slider1 = nullptr;
    QWidget *Frame2 = nullptr;
    QWidget *Frame3 = nullptr;
    QLabel *panel1 = nullptr;
    QLabel *panel2 = nullptr;
    QProgressBar *loadProgress = nullptr;
    QMdiArea *mdiArea = nullptr;
    QTimer *Timer1 = nullptr;
    MenuTree menus;

    WindowManager *windows = nullptr;
    AddressBar *addressBar = nullptr;
    Rotation *rotation = nullptr;
    PopupPolicy *popups = nullptr;
    FrameKeys *keys = nullptr;

    AdditionalSitesPanel *panel() const { return m_panel; }

    QAction *action(const QString &name) const { return menus.actions.value(name); }
    QMenu *menu(const QString &name) const { return menus.menus.value(name); }

    // FrameHost
    QWidget *frameWidget() override { return this; }
    void setStatusText(const QString &text) override;
    QString statusText() const override;
    void setPopStat(const QString &caption) override;
    void setAddressText(const QString &text) override;
    QString addressText() const override;
    bool addressBeingEdited() const override;
    void setLoadProgress(int percent) override;
    FrameHost::Status status() const override { return Status; }
    void HideToTray() override;

    void RestoreFromTray();
    // The frame's unload: every loaded window goes, the frame last, once.
    void unload();

    // Saves the frame's size, position and maximised state for the next start.
    void saveFrameGeometry();
    // The stored frame geometry fitted to today's screens, or a first size that fits the screen.
    void restoreFrameGeometry();
    // "x y width height maximised" as stored; false for anything else.
    static bool parseGeometry(const QString &text, QRect *rect, bool *maximized);
    static QRect firstGeometry(const QRect &availableArea);
    // wanted moved onto the screens there are (and shrunk if it must be), with room for
    // the window manager's title bar and borders.
    static QRect fittedToScreens(const QRect &wanted, const QList<QRect> &availableAreas);
    // A normal frame put wholly on the screens there are now.
    void fitToScreens();

    // Where the programme has no tray: the frame minimises instead of vanishing.
    static bool trayAvailable();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void bringOwnWindowsForward();
    void buildControls();
    void buildToolbars();
    void buildExtrasPanel();
    void routeCommands();
    // The extra keys of a browser beside the menus' own, all ahead of a text field's bindings.
    void routeKeys();
    // The active window's browser control, or null: what page commands act on.
    BrowserControl *activePage() const;
    void ensureTray();
    // While the frame waits out of sight: a tray that appears or goes away is followed.
    void followTray();
    // Hides the frame and shows the icon where there is a tray, minimises it where there is none.
    void putAway();
    void placeLoadProgress();

    bool m_unloading = false;
    TrayIcon *m_tray = nullptr;
    QTimer *m_trayWatch = nullptr;
    // Whether the frame waits in a tray (hidden) rather than on the task bar (minimised).
    bool m_inTrayIcon = false;
    bool m_puttingAway = false;
    QList<QPointer<QWidget>> m_trayAside; // the frame's own windows put away with it, shown again with it
    QList<QPointer<QWidget>> m_inFront; // those of them to raise again once the restored frame is active
    AdditionalSitesPanel *m_panel = nullptr;
};

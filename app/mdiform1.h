#pragma once
#include "app/menutree.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

class BrowserControl;
class ChildWindow;
class CoolBar;
class TabStrip;
class QToolBar;
class QComboBox;
class QPushButton;
class QCheckBox;
class QSlider;
class QLabel;
class QMdiArea;
class QTimer;
class TrayIcon;
class WindowManager;
class AddressBar;
class Rotation;
class QLineEdit;
class AdditionalSitesPanel;

// The main frame: menus, two coolbars, the tab strip, the status bar and the
// multiple-document area that holds browser and popup windows. It builds its
// controls and hands each command to the code that owns it.
class mdiform1 : public QMainWindow
{
    Q_OBJECT
public:
    // Coolbar band numbers.
    enum { BandGo = 1, BandAddress = 2, BandExtras = 3, BandFlick = 4, BandSlider = 5, BandPopStat = 6,
           BandSearch = 7, BandHide = 8 };
    enum { BandTabs = 1, BandBuiltins = 2 };

    explicit mdiform1(QWidget *parent = nullptr);
    ~mdiform1() override;
    // The frame of this process, or nullptr before it is made and after it is gone.
    static mdiform1 *instance();

    // The load handler; false when the user chose to end at the single-instance question.
    bool MDIForm_Load(bool anotherCopyRunning);
    // The single-instance question; false for No.
    bool prevy();
    // Fills the built-in catalogue lists.
    void additems();

    // Process-wide state shown on the frame.
    qint16 Tabctr = 0;
    QString Status;
    // Raises Tabctr by one; refused (false) at 32767.
    bool raiseTabctr();

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
    QMdiArea *mdiArea = nullptr;
    QTimer *Timer1 = nullptr;
    MenuTree menus;

    WindowManager *windows = nullptr;
    AddressBar *addressBar = nullptr;
    Rotation *rotation = nullptr;

    AdditionalSitesPanel *panel() const { return m_panel; }
    // The additional-sites panel's rows (1..24).
    QCheckBox *panelCheck(int row) const;
    QLineEdit *panelSite(int row) const;

    // Default-slot windows (slot 1..8): News, Tool, Business, Search, Comic, Sift, BRintranet, WebEmail.
    std::array<QPointer<ChildWindow>, 9> slotWindows;

    QAction *action(const QString &name) const { return menus.actions.value(name); }
    QMenu *menu(const QString &name) const { return menus.menus.value(name); }

    void setStatusText(const QString &text);
    QString statusText() const;
    // Sets the address bar's text as a program change (completion runs on it).
    void setAddressText(const QString &text);
    QString addressText() const;
    void setPopStat(const QString &caption);

    ChildWindow *activeChild() const;
    QList<ChildWindow *> childWindows() const;
    // Adds a window to the frame, shows it and makes it the active child.
    void showChild(ChildWindow *window);

    void HideToTray();
    void RestoreFromTray();
    // The frame's unload: every loaded window goes, the frame last, once.
    void unload();

    // Where the programme has no tray: the frame minimises instead of vanishing.
    static bool trayAvailable();

    // The handler of page requests for new windows (the popup policy installs one).
    std::function<void(ChildWindow *from, BrowserControl **target, bool *cancel)> newWindowHandler;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void buildToolbars();
    void buildExtrasPanel();
    void routeCommands();
    void ensureTray();

    bool m_unloading = false;
    TrayIcon *m_tray = nullptr;
    AdditionalSitesPanel *m_panel = nullptr;
};

#include "app/mdiform1.h"

#include "core/windowregistry.h"
#include "browser/addressbar.h"
#include "browser/childwindow.h"
#include "browser/framebands.h"
#include "browser/windowarea.h"
#include "browser/windowmanager.h"
#include "core/resources.h"
#include "desktop/aboutwindow.h"
#include "desktop/externallaunch.h"
#include "desktop/trayicon.h"
#include "platform/coolbar.h"
#include "platform/dialogs.h"
#include "platform/elidinglabel.h"
#include "platform/downloads.h"
#include "platform/tabstrip.h"
#include "platform/windowhints.h"
#include "sites/additionalsitespanel.h"
#include "tools/rotation.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

#include <utility>

using namespace FrameBands;

mdiform1::mdiform1(QWidget *parent) : QMainWindow(parent)
{
    Resources::load();
    setObjectName(QStringLiteral("mdiform1"));
    setWindowTitle(QStringLiteral("Quillon v2.1"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/quillon.svg")));
    restoreFrameGeometry();
    WindowRegistry::add(this);
    buildControls();
    windows = new WindowManager(this, tb, CoolBar2, mdiArea, this);
    addressBar = new AddressBar(windows, cboAddress, this);
    rotation = new Rotation(FlickCheck13, Slider1, Timer1, CoolBar1, mdiArea, this);
    routeCommands();
    routeKeys();
    connect(Downloads::instance(), &Downloads::statusText, this, &mdiform1::setStatusText);
}

mdiform1::~mdiform1() = default;

void mdiform1::buildControls()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    menus = buildMenuTree(menuBar());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(3000);

    buildToolbars();

    cboAddress = new QComboBox;
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setFont(QFont(QStringLiteral("Arial")));
    cboAddress->setEditText(QStringLiteral("http://"));
    cboAddress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    cboAddress->setMinimumContentsLength(30);
    // A wheel turned over the bar on its way down the page must not give it the focus.
    cboAddress->setFocusPolicy(Qt::StrongFocus);
    // On Linux a combo box is read out by its text, here the address: its text field
    // carries the name that says what it is.
    cboAddress->setAccessibleName(QStringLiteral("Address"));
    cboAddress->lineEdit()->setAccessibleName(QStringLiteral("Address"));

    buildExtrasPanel();

    FlickCheck13 = new QCheckBox(QStringLiteral("Rotaview"));
    FlickCheck13->setObjectName(QStringLiteral("FlickCheck13"));
    FlickCheck13->setToolTip(QStringLiteral("Flick between all the browser windows - \"Rotaview\"."));
    Slider1 = new QSlider(Qt::Horizontal);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setRange(1, 60);
    Slider1->setToolTip(QStringLiteral("How many seconds each Web Window is \"flicked\"."));
    Slider1->setAccessibleName(QStringLiteral("Rotaview seconds"));
    popStat = new QPushButton(QStringLiteral("PopUps"));
    popStat->setObjectName(QStringLiteral("popStat"));
    popStat->setFont(QFont(QStringLiteral("Lucida Sans Unicode")));
    popStat->setToolTip(QStringLiteral("Click here to view 'blocked' sites..."));
    MP3 = new QPushButton(QStringLiteral("Search the Web Now"));
    MP3->setObjectName(QStringLiteral("MP3"));
    cmdHide = new QPushButton(QStringLiteral("Hide Toolbar"));
    cmdHide->setObjectName(QStringLiteral("cmdHide"));

    CoolBar1 = new CoolBar(central);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    CoolBar1->addBand({tb2, QString(), 600, 7155, false});
    CoolBar1->addBand({cboAddress, QString(), 345, 1995, false});
    CoolBar1->addBand({Frame2, QString(), 5205, 9075, true});
    CoolBar1->addBand({FlickCheck13, QString(), 255, 1500, true});
    CoolBar1->addBand({Slider1, QStringLiteral("Sec(s)"), 255, 2595, false});
    CoolBar1->addBand({popStat, QString(), 255, 4995, false});
    CoolBar1->addBand({MP3, QString(), 255, 3300, false});
    CoolBar1->addBand({cmdHide, QString(), 255, 1200, false});
    CoolBar1->setBandVisible(BandExtras, false);
    CoolBar1->setBandStretch(BandGo, 0); // the buttons keep their size; the address bar takes the rest

    tb = new TabStrip;
    tb->setObjectName(QStringLiteral("tb"));
    tb->setFont(QFont(QStringLiteral("Lucida Sans Unicode")));
    tb->insertTab(1, QString()); // the end tab
    tb->setAccessibleName(QStringLiteral("Windows"));

    Frame3 = new QWidget;
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto *f3 = new QHBoxLayout(Frame3);
    f3->setContentsMargins(0, 0, 0, 0);
    f3->addWidget(Quick);
    sites = new QComboBox;
    sites->setObjectName(QStringLiteral("sites"));
    sites->setPlaceholderText(QStringLiteral("Click for more News sites."));
    sites->setMinimumContentsLength(24);
    // Read out by the chosen item on Linux; these hold none between choices, so the name is what is heard.
    sites->setAccessibleName(QStringLiteral("More News sites"));
    tools = new QComboBox;
    tools->setObjectName(QStringLiteral("tools"));
    tools->setPlaceholderText(QStringLiteral("Click for more Tool sites"));
    tools->setMinimumContentsLength(24);
    tools->setAccessibleName(QStringLiteral("More Tool sites"));
    sites->setFocusPolicy(Qt::StrongFocus);
    tools->setFocusPolicy(Qt::StrongFocus);
    f3->addWidget(sites);
    f3->addWidget(tools);
    f3->addStretch();

    CoolBar2 = new CoolBar(central);
    CoolBar2->setObjectName(QStringLiteral("CoolBar2"));
    CoolBar2->addBand({tb, QString(), 600, 12000, false});
    CoolBar2->addBand({Frame3, QStringLiteral("Built-in Sites:"), 495, 12000, true});

    mdiArea = new WindowArea(central);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    layout->addWidget(CoolBar1);
    layout->addWidget(CoolBar2);
    layout->addWidget(mdiArea, 1);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setFont(QFont(QStringLiteral("Verdana")));
    bar->setSizeGripEnabled(false);
    bar->setAccessibleName(QStringLiteral("Status"));
    panel1 = new ElidingLabel(bar); // pages' texts: never wider than the frame
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel2 = new QLabel(bar);
    panel2->setObjectName(QStringLiteral("Panel2"));
    bar->addWidget(panel1, 1);
    bar->addWidget(panel2);
    // Over the right end of panel 1, outside the bar's layout: panel 1 keeps the whole width.
    loadProgress = new QProgressBar(bar);
    loadProgress->setObjectName(QStringLiteral("loadProgress"));
    loadProgress->setRange(0, 100);
    loadProgress->setTextVisible(false);
    loadProgress->setAccessibleName(QStringLiteral("Progress"));
    loadProgress->hide();
    setStatusBar(bar);
}

void mdiform1::buildToolbars()
{
    tb2 = new QToolBar;
    tb2->setObjectName(QStringLiteral("tb2"));
    tb2->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    struct Button { const char *key; const char *tip; const char *caption; const char *icon; };
    const Button goButtons[] = {
        {"New", "Load a new Window", "", "new"}, {"Back", "Back to previous page", "", "back"},
        {"Forward", "Forward to next page", "", "forward"}, {"Stop", "Stop loading current page", "", "stop"},
        {"Refresh", "Refresh this page", "", "refresh"}, {"Home", "Go to your Home page", "", "home"},
        {"Favorites", "Show Favorites", "", "favorites"}, {"Search", "Search the Web", "", "search"},
        {"ShowAll", "Show All Open Windows", "Show All", "showall"},
    };
    for (const Button &b : goButtons) {
        QAction *a = tb2->addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(b.icon))),
                                    QString::fromLatin1(b.caption));
        a->setObjectName(QString::fromLatin1(b.key));
        a->setToolTip(QString::fromLatin1(b.tip));
        a->setData(QString::fromLatin1(b.key));
        // A button that shows only a picture is named by its tooltip for screen readers.
        if (QWidget *button = tb2->widgetForAction(a); button && !*b.caption)
            button->setAccessibleName(a->toolTip());
    }

    Quick = new QToolBar;
    Quick->setObjectName(QStringLiteral("Quick"));
    Quick->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const std::pair<const char *, const char *> quickButtons[] = {
        {"F", "Full Screen"}, {"R", "Refresh Rate"}, {"W", "Rotaview Toolbar"}, {"IE", "Load active window in IE"},
        {"P", "Print ALL open Web Windows..."}, {"LD", "Load ALL default sites..."},
        {"LA", "Load ALL additional sites..."}, {"X", "Close ALL windows"},
    };
    for (const auto &[key, tip] : quickButtons) {
        QAction *a = Quick->addAction(QString::fromLatin1(key));
        a->setObjectName(QStringLiteral("Quick_") + QString::fromLatin1(key));
        a->setToolTip(QString::fromLatin1(tip));
        a->setData(QString::fromLatin1(key));
        if (QWidget *button = Quick->widgetForAction(a))
            button->setAccessibleName(a->toolTip()); // a letter says little to a screen reader
    }
}

void mdiform1::buildExtrasPanel()
{
    m_panel = new AdditionalSitesPanel;
    Frame2 = m_panel;
}

void mdiform1::setStatusText(const QString &text) { panel1->setText(text); }
QString mdiform1::statusText() const { return panel1->text(); }

void mdiform1::setAddressText(const QString &text) { cboAddress->setEditText(text); }
QString mdiform1::addressText() const { return cboAddress->currentText(); }
bool mdiform1::addressBeingEdited() const { return addressBar && addressBar->beingEdited(); }

void mdiform1::setLoadProgress(int percent)
{
    if (percent >= 0) {
        loadProgress->setValue(percent);
        placeLoadProgress();
    }
    loadProgress->setVisible(percent >= 0);
    loadProgress->raise();
}

void mdiform1::placeLoadProgress()
{
    const QRect area = statusBar()->rect();
    const int height = qMin(14, area.height() - 4);
    loadProgress->setGeometry(area.right() - 164, area.center().y() - height / 2, 160, height);
}

void mdiform1::setPopStat(const QString &caption) { popStat->setText(caption); }

bool mdiform1::trayAvailable() { return TrayIcon::isAvailable(); }

void mdiform1::ensureTray()
{
    if (m_tray)
        return;
    m_tray = new TrayIcon(menu(QStringLiteral("mnuBar")), this);
    m_tray->setOnRestore([this] { RestoreFromTray(); });
    m_tray->setOnQuit([this] {
        RestoreFromTray();
        unload();
    });
    m_tray->setOnMail(&ExternalLaunch::sendMail_Click);
    m_tray->setOnAbout([] { AboutWindow::showModeless(nullptr); });
}

void mdiform1::HideToTray()
{
    Status = FrameHost::Status::MIN;
    putAway();
    if (!m_trayWatch) {
        // Qt has no signal for a tray host that starts or stops (a panel restarted).
        m_trayWatch = new QTimer(this);
        m_trayWatch->setInterval(1500);
        connect(m_trayWatch, &QTimer::timeout, this, &mdiform1::followTray);
    }
    m_trayWatch->start();
}

void mdiform1::putAway()
{
    m_puttingAway = true;
    m_inFront.clear();
    m_inTrayIcon = trayAvailable();
    if (m_inTrayIcon) {
        // The frame's windows beside it (favourites, downloads, about) go with it: a
        // window left on the screen would belong to nothing the person can see.
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != this && w->isVisible() && !w->isModal() && w->parentWidget() && w->parentWidget()->window() == this
                && (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog)) {
                w->hide();
                m_trayAside.append(w);
            }
        hide();
        ensureTray();
        m_tray->show();
    } else {
        // No tray to come back from: keep the frame reachable on the task bar.
        if (m_tray)
            m_tray->hide();
        if (!isVisible())
            showMinimized();
        else
            setWindowState(windowState() | Qt::WindowMinimized);
    }
    m_puttingAway = false;
}

void mdiform1::followTray()
{
    if (Status != FrameHost::Status::MIN) {
        m_trayWatch->stop();
        return;
    }
    if (trayAvailable() != m_inTrayIcon)
        putAway();
}

void mdiform1::RestoreFromTray()
{
    Status = FrameHost::Status::MAX;
    if (m_trayWatch)
        m_trayWatch->stop();
    m_inTrayIcon = false;
    if (m_tray)
        m_tray->hide();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    // Qt makes the frame's native window anew when the first page view joins it, and the
    // new one does not take the frame's state: a frame restored maximised that waited in
    // the tray since start-up would come back at its normal size.
    const Qt::WindowStates state = windowState() & ~Qt::WindowActive; // activity is no window state
    if (QWindow *native = windowHandle(); native && native->windowStates() != state)
        native->setWindowStates(state);
    // A frame once minimised on the task bar (no tray then) would be mapped minimised again.
    WindowHints::mapNormally(this);
    // The screen may have become smaller, or gone, while the frame waited.
    fitToScreens();
    show();
    raise();
    activateWindow();
    // The frame's own windows come back in front of it, as they went away, and so does an
    // about window that the tray menu opened while the frame waited.
    m_inFront = std::exchange(m_trayAside, {});
    for (const QPointer<QWidget> &w : m_inFront)
        if (w)
            w->show();
    m_inFront.append(AboutWindow::current());
    bringOwnWindowsForward();
}

void mdiform1::bringOwnWindowsForward()
{
    // Shown again they keep their old place in the stack, under the frame just raised. A
    // window manager raises the frame once more when it activates it, so they are raised
    // again then.
    for (const QPointer<QWidget> &w : std::as_const(m_inFront))
        if (w && w->isVisible())
            w->raise();
}

void mdiform1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Restored from the task bar or by the window manager: that is a restore too, or the
    // next window opened would minimise the frame again.
    if (event->type() == QEvent::WindowStateChange && Status == FrameHost::Status::MIN && !m_puttingAway
        && isVisible() && !(windowState() & Qt::WindowMinimized))
        RestoreFromTray();
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_inFront.isEmpty()) {
        bringOwnWindowsForward();
        m_inFront.clear();
    }
    if (event->type() == QEvent::WindowTitleChange)
        setAccessibleName(windowTitle());
}

void mdiform1::unload()
{
    if (m_unloading)
        return;
    m_unloading = true;
    // What closes with the frame can tell that the programme is ending.
    WindowRegistry::markUnloaded(this);
    saveFrameGeometry();
    if (m_tray)
        m_tray->hide();
    const QList<QWidget *> loaded = WindowRegistry::windows();
    for (QWidget *w : loaded)
        if (w != this && w)
            w->close();
    close();
    QCoreApplication::quit();
}

bool mdiform1::focusNextPrevChild(bool next)
{
    // Tab enters the window area at the page in use. Left to itself the area would take the
    // focus into its first window in the chain and so make another site the active one.
    QWidget *from = QApplication::focusWidget();
    ChildWindow *active = windows ? windows->activeChild() : nullptr;
    if (from && active && active->Web1->isVisible() && !mdiArea->isAncestorOf(from)) {
        const auto takesTab = [this](QWidget *w) {
            return (w->focusPolicy() & Qt::TabFocus) && w->window() == this && w->isVisibleTo(this)
                && w->isEnabled();
        };
        QWidget *to = from;
        do
            to = next ? to->nextInFocusChain() : to->previousInFocusChain();
        while (to != from && !takesTab(to));
        if (to != from && mdiArea->isAncestorOf(to)) {
            active->Web1->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return QMainWindow::focusNextPrevChild(next);
}

void mdiform1::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_unloading)
        unload();
}

void mdiform1::resizeEvent(QResizeEvent *event)
{
    // Panel 1 carries every message: it takes the whole width of the frame.
    QMainWindow::resizeEvent(event);
    panel2->setFixedWidth(0);
    placeLoadProgress();
}

bool mdiform1::prevy()
{
    return Dialogs::ask(this, QStringLiteral("Already running"),
                        QStringLiteral("Quillon is already running, Do you want to continue ?"),
                        QMessageBox::Critical);
}

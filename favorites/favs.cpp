#include "favorites/favs.h"

#include "core/browsercontrol.h"
#include "core/windowregistry.h"
#include "favorites/favoriteimages.h"
#include "favorites/favorites.h"
#include "favorites/favoritestree.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QTimer>

namespace {
constexpr int twipsPerInch = 1440;

int twipsToPixels(int twips, int dpi)
{
    return dpi > 0 ? qRound(double(twips) * dpi / twipsPerInch) : twips / 15;
}

int pixelsToTwips(int pixels, int dpi)
{
    return dpi > 0 ? qRound(double(pixels) * twipsPerInch / dpi) : pixels * 15;
}
}

Favs::Favs(ActiveBrowser activeBrowser, QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_activeBrowser(std::move(activeBrowser))
{
    setObjectName(QStringLiteral("Favs"));
    setWindowTitle(QStringLiteral("Your Favorites"));
    // The close box unloads the window; the menu's Close and a shortcut click only hide it.
    setAttribute(Qt::WA_DeleteOnClose);

    Close = menuBar()->addAction(QStringLiteral("Close"));
    Close->setObjectName(QStringLiteral("Close"));
    connect(Close, &QAction::triggered, this, &QWidget::hide);
    // Escape closes the window as its Close item does.
    Close->setShortcut(QKeySequence(Qt::Key_Escape));

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    imgTreeFavorites = new FavoriteImages(this);
    treeFavorites = new FavoritesTree(client);
    treeFavorites->setImageList(imgTreeFavorites);
    client->installEventFilter(this);
    m_hideAfterClick = new QTimer(this);
    m_hideAfterClick->setSingleShot(true);
    connect(m_hideAfterClick, &QTimer::timeout, this, &QWidget::hide);
    connect(treeFavorites, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { treeFavorites_NodeClick(item); });
    // Enter opens a shortcut as a click does and hides the window at once. A double-click,
    // and a click in a style that activates on a single click, send this after the click
    // that has opened the shortcut already: that loads once.
    connect(treeFavorites, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        if (isVisible() && !m_hideAfterClick->isActive() && openShortcut(item))
            hide();
    });

    resize(twipsToPixels(4800, logicalDpiX()), twipsToPixels(6600, logicalDpiY()));
    WindowRegistry::add(this);
    Form_Load();
}

void Favs::Form_Load()
{
    LoadFavorites();
    Form_Resize();
}

void Favs::LoadFavorites()
{
    BrowserControl *browser = m_activeBrowser ? m_activeBrowser() : nullptr;
    Favorites::LoadFavorites(treeFavorites, browser ? browser->window() : nullptr, this);
}

void Favs::treeFavorites_NodeClick(QTreeWidgetItem *node)
{
    if (!openShortcut(node))
        return;
    // Hidden at once, the window would let the second click of a double-click fall
    // through onto whatever lies beneath it, such as a link of the page behind.
    m_hideAfterClick->start(QApplication::doubleClickInterval());
}

bool Favs::openShortcut(QTreeWidgetItem *node)
{
    // Only shortcuts load; a folder whose own name ends in "_URL" is still a folder.
    if (!node || !FavoritesTree::key(node).endsWith(QLatin1String("_URL"))
        || FavoritesTree::image(node) != FavoriteImages::Shortcut)
        return false;
    // A shortcut with no address would blank the page in front: it does nothing.
    const QString address = FavoritesTree::tag(node);
    if (address.isEmpty())
        return false;
    if (BrowserControl *browser = m_activeBrowser ? m_activeBrowser() : nullptr)
        browser->Navigate(address);
    return true;
}

void Favs::setVisible(bool visible)
{
    // Shown again or closed before a click's hide is due: that hide is no longer wanted.
    if (m_hideAfterClick)
        m_hideAfterClick->stop();
    QMainWindow::setVisible(visible);
}

void Favs::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

bool Favs::eventFilter(QObject *watched, QEvent *event)
{
    // The client area settles after the window's own resize (first showing, menu bar wrap).
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void Favs::Form_Resize()
{
    if (!treeFavorites)
        return;
    // The tree fills the window less 100 twips each way, measured on the outer size.
    const QRect outer = frameGeometry();
    const int width = twipsToPixels(pixelsToTwips(outer.width(), logicalDpiX()) - 100, logicalDpiX());
    const int height = twipsToPixels(pixelsToTwips(outer.height(), logicalDpiY()) - 100, logicalDpiY());
    // The outer size counts the title and menu bars; keep the tree's bottom and right
    // edges (and their scroll bars) inside the client area rather than cut off.
    const QWidget *client = centralWidget();
    const int left = treeFavorites->x();
    const int fitWidth = qMin(width, client->width() - left);
    const int fitHeight = qMin(height, client->height());
    QRect geometry = treeFavorites->geometry();
    geometry.moveTop(0);
    if (fitWidth >= 0)
        geometry.setWidth(fitWidth);
    if (fitHeight >= 0)
        geometry.setHeight(fitHeight);
    treeFavorites->setGeometry(geometry);
}

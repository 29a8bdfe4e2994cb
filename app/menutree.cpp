#include "app/menutree.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

struct Item {
    const char *name;
    const char *caption; // "-" for a separator
    const char *shortcut;
    int check; // -1 not checkable, 0 unchecked, 1 checked
};

struct Menu {
    const char *name;
    const char *caption;
    bool hidden;
    std::initializer_list<Item> items;
};

const Menu menuTable[] = {
    {"mnuPDs", "&Personal", true, {
        {"n1", "&First Name", "", -1}, {"n2", "&Surname", "", -1}, {"n3", "&Email Address", "", -1},
        {"n4", "&URL", "", -1}, {"n5", "Street &Address", "", -1}, {"n6", "&City", "", -1},
        {"n12", "S&tate", "", -1}, {"n7", "&Zip / Postcode", "", -1}, {"n8", "Countr&y", "", -1},
        {"n9", "&Phone", "", -1}, {"n10", "&Fax", "", -1}, {"n11", "Hide &Menu", "", -1}}},
    {"File", "&File", false, {
        {"Down", "&Place in tray", "F2", -1}, {"NewWin", "&New Window", "F6", -1},
        {"browser", "Launch &Browser (IE)", "", -1}, {"LoadinIE", "Load active window in I&E", "", -1},
        {"CloseActiveWin", "&Close Active Window", "", -1}, {"S", "-", "", -1},
        {"mnu_PageSetup", "Page &Setup...", "", -1}, {"Print", "&Print...", "", -1},
        {"PrintAll", "Print &All Open Windows", "", -1}, {"mnu_line", "-", "", -1},
        {"exit", "E&xit                  Alt+F4", "", -1}}},
    {"mnuEdit", "&Edit", false, {
        {"mnu_Cut", "Cut", "Ctrl+X", -1}, {"mnu_Copy", "Copy", "Ctrl+C", -1}, {"mnu_paste", "Paste", "Ctrl+V", -1},
        {"mnued1", "-", "", -1}, {"mnu_SelAll", "Select All", "Ctrl+A", -1}, {"mnued2", "-", "", -1},
        {"mnu_find", "Find (On this page)...", "Ctrl+F", -1}}},
    {"SitesLoad", "Web &Sites", false, {
        {"Options", "&Default Sites (1-8)...", "Ctrl+U", -1},
        {"ShowAddSites", "Edit &Additional Sites (9-32)...", "Ctrl+H", -1},
        {"RefreshIT", "Auto-Refresh", "", -1}, {"IE", "Work Online", "Ctrl+I", 1}}},
    {"Popus", "Pop&ups", false, {
        {"EnDiBoxes", "&Allow Popup windows", "", 1}, {"Internally", "&View Popup windows in IE", "", 0},
        {"Block", "Block PopUps Permanently...", "", -1}}},
    {"mnuFavs", "F&avorites", false, {
        {"AddtoFavs", "Add to Favorites...", "", -1}, {"mnu_OrganizeFavorites", "Organize Favorites...", "", -1},
        {"mnu_ViewFavorites", "My Favorites...", "", -1}}},
    {"MyOptions", "&Options", false, {
        {"mnu_InterNetOptions", "&Internet Options...", "", -1}, {"personal", "Modify Personal &Details...", "Ctrl+M", -1},
        {"mnuIncrease", "&Increase Tabs Space", "Ctrl+F1", -1}, {"mnuDecrease", "&Decrease Tabs Space", "Ctrl+F2", -1}}},
    {"Go", "&Go", false, {
        {"GoBack", "&Back", "", -1}, {"GoForward", "&Forward", "", -1}, {"GoRefresh", "&Refresh", "", -1},
        {"GoHome", "&Home", "", -1}, {"GoSearch", "&Search", "", -1}, {"GoStop", "S&top", "", -1}}},
    {"mnmail", "&Mail", false, {{"RunMail", "Send &Mail...", "F8", -1}}},
    {"Toolbars", "&Toolbars", false, {
        {"SMSFlick", "Rotaview / &Advanced Toolbar", "Ctrl+W", -1}, {"MT", "&Hide / Show All Toolbars", "F4", -1},
        {"bis", "&Built-in Sites", "", -1}, {"Show", "Show / Hide Personal Details &Menu", "Ctrl+D", -1}}},
    {"Window", "&Window", false, {
        {"Showallwins", "Show &All Windows", "F11", -1}, {"qqq", "-", "", -1},
        {"Cascade", "&Cascade Windows", "", -1}, {"tilev", "Tile &Vertically", "", -1},
        {"TileH", "Tile &Horizontally", "", -1}, {"Arrange", "&Arrange Icons", "", -1}}},
    {"Help", "&Help", false, {{"tipday", "&Tip of the Day", "", -1}, {"About", "A&bout Quillon", "", -1}}},
    {"mnuBar", "PopupMenu", true, {
        {"sendMail", "Send &Mail", "", -1}, {"RestoreM", "&Restore", "", -1},
        {"Aboutit", "&About Quillon", "", -1}, {"mnuMain", "&Quit", "", -1}}},
};

}

MenuTree buildMenuTree(QMenuBar *bar)
{
    MenuTree tree;
    for (const Menu &m : menuTable) {
        QMenu *menu = bar->addMenu(QString::fromUtf8(m.caption));
        menu->setObjectName(QString::fromLatin1(m.name));
        menu->menuAction()->setObjectName(QString::fromLatin1(m.name));
        menu->menuAction()->setVisible(!m.hidden);
        tree.menus.insert(menu->objectName(), menu);
        for (const Item &i : m.items) {
            QAction *action = QString::fromLatin1(i.caption) == QLatin1String("-")
                ? menu->addSeparator()
                : menu->addAction(QString::fromUtf8(i.caption));
            action->setObjectName(QString::fromLatin1(i.name));
            if (*i.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(i.shortcut)));
            if (i.check >= 0) {
                action->setCheckable(true);
                action->setChecked(i.check == 1);
            }
            tree.actions.insert(action->objectName(), action);
        }
    }
    return tree;
}

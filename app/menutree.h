#pragma once
#include <QHash>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;

// The frame's menu bar, built from one table: every menu and item carries its
// name as objectName, its caption, shortcut and check state.
struct MenuTree {
    QHash<QString, QAction *> actions; // items by name
    QHash<QString, QMenu *> menus;     // top-level menus by name
};

MenuTree buildMenuTree(QMenuBar *bar);

#pragma once
#include <QObject>
#include <QString>

class mdiform1;
class ChildWindow;
#include "browser/form1.h"

// Numbers windows and binds each to its tab: window n carries Tag "n" and owns tab n.
// Opens, closes and arranges the frame's child windows.
class WindowManager : public QObject
{
    Q_OBJECT
public:
    explicit WindowManager(mdiform1 *frame);

    form1 *newBrowserWindow();
    // Steps shared by every opener: raise Tabctr, insert tab Tabctr captioned with it,
    // tag the window and show it. Returns the window's number.
    int openNumbered(ChildWindow *window);
    void OpenSiteWindow(ChildWindow *window, const QString &address);
    void NewWin();
    void tabClick(int index);
    void rez();
    void CloseActiveWin();
    void closeAll();
    void cascade();
    void tileHorizontally();
    void tileVertically();
    void arrangeIcons();
    void increaseTabsSpace();
    void decreaseTabsSpace();
    // Removes tab n (a banned popup's) and lowers Tabctr; the windows after it are
    // re-numbered so that window k and tab k still belong together.
    void removeTab(int n);

private:
    mdiform1 *m_frame;
};

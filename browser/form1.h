#pragma once
#include "browser/childwindow.h"

class mdiform1;

// A browser window: one page, its title on its tab and caption, its address in
// the address bar and its status text in the status bar.
class form1 : public ChildWindow
{
    Q_OBJECT
public:
    explicit form1(mdiform1 *frame);

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void Web1_DocumentComplete();
    void Web1_GotFocus();
    mdiform1 *m_frame;
};

// What browser and popup windows do alike when their page completes or gets focus.
namespace ChildEvents {
void documentComplete(mdiform1 *frame, ChildWindow *window);
void gotFocus(mdiform1 *frame);
// What every child window does on load: status text and new-window requests go to
// the frame, and the tab band grows by 10 twips over the tab strip's height.
void connectToFrame(mdiform1 *frame, ChildWindow *window);
// Raises the tab band's minimum height to the tab strip's height plus the given twips.
void growTabBand(mdiform1 *frame, int twips);
// Turns tab n into a spare tab.
void makeSpareTab(mdiform1 *frame, int n);
}

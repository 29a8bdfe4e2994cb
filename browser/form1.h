#pragma once
#include "browser/childwindow.h"

// A browser window: one page, its title on its tab and caption, its address in
// the address bar and its status text in the status bar.
class form1 : public ChildWindow
{
    Q_OBJECT
public:
    explicit form1(WindowManager *windows);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void Web1_DocumentComplete();
};

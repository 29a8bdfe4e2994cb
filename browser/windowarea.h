#pragma once

#include <QMdiArea>

// The frame's window area. Its own Ctrl+Tab stepping answers only keys typed in the frame:
// a box a page puts up is a window of its own, and the keys typed there are the box's.
class WindowArea : public QMdiArea
{
    Q_OBJECT
public:
    using QMdiArea::QMdiArea;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

#pragma once
#include <QObject>

class QWidget;

// The user's presses anywhere in the programme, pages included: a mouse button, a key,
// a touch, a drop. What a page asks for by itself (a window, a file) is bounded; what
// follows a press of the user's in it is the user's own. One filter on the application
// serves everyone who needs to know.
class UserPresses : public QObject
{
    Q_OBJECT
public:
    static UserPresses *instance();

Q_SIGNALS:
    // target: the widget the press went to, or null for a window's own. A press a widget
    // leaves unhandled goes on to its parents, and is told again for each.
    void pressed(QWidget *target);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit UserPresses(QObject *parent);
};

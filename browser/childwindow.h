#pragma once
#include <QMdiSubWindow>
#include <QPointer>
#include <QString>

class BrowserControl;
class QTimer;
class WindowManager;

// What browser windows (form1) and popup windows (webPopup) share: a child of the
// main frame with one browser control `Web1`, a number `Tag` binding it to its tab,
// and an auto-refresh timer `AutoRefreshMe`.
class ChildWindow : public QMdiSubWindow
{
    Q_OBJECT
public:
    enum class Kind { Browser, Popup };

    // windows: the manager that numbers the window and gives it its tab (null: a window on its own).
    ChildWindow(Kind kind, const QString &name, WindowManager *windows = nullptr);
    ~ChildWindow() override;

    Kind kind() const { return m_kind; }
    QString Tag;
    BrowserControl *Web1 = nullptr;
    QTimer *AutoRefreshMe = nullptr;

    // The window's number read as a 16-bit integer; false when Tag is not one.
    bool tagNumber(int *n) const;

protected:
    // A window closed for good leaves its tab as a spare tab, except the first one
    // and a window whose tab is gone already.
    void closeEvent(QCloseEvent *event) override;
    void setTabGone() { m_tabGone = true; }
    WindowManager *windows() const;

private:
    Kind m_kind;
    QPointer<WindowManager> m_windows;
    bool m_tabGone = false;
};

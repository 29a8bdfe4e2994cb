#pragma once
#include <QMdiSubWindow>
#include <QString>

class BrowserControl;
class QTimer;

// What browser windows (form1) and popup windows (webPopup) share: a child of the
// main frame with one browser control `Web1`, a number `Tag` binding it to its tab,
// and an auto-refresh timer `AutoRefreshMe`.
class ChildWindow : public QMdiSubWindow
{
    Q_OBJECT
public:
    enum class Kind { Browser, Popup };

    ChildWindow(Kind kind, const QString &name, QWidget *parent = nullptr);
    ~ChildWindow() override;

    Kind kind() const { return m_kind; }
    QString Tag;
    BrowserControl *Web1 = nullptr;
    QTimer *AutoRefreshMe = nullptr;

    // The window's number read as a 16-bit integer; false when Tag is not one.
    bool tagNumber(int *n) const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Kind m_kind;
};

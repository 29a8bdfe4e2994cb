#pragma once
#include <QDialog>
#include <QPointer>

class BrowserControl;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QPushButton;

// The browser control's find dialog: searches its page forwards or backwards and
// says how many matches the page holds. One per control, living as long as it.
// It is up only while its window is the frame's current window: another window
// coming forward hides it, and it comes back with its own window.
class FindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FindDialog(BrowserControl *web);

    // Shows the control's dialog, making it on first use.
    static FindDialog *showFor(BrowserControl *web);

    void findNext();
    void findPrevious();
    QString countText() const;

Q_SIGNALS:
    // The page answered a search: activeMatch counts from 1; 0 matches when not found.
    void found(int activeMatch, int numberOfMatches);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void find(bool backward);
    void showCount(const QString &text);
    void clearHighlight();
    void followWindow();
    void currentWindowChanged();

    QPointer<BrowserControl> m_web;
    QLineEdit *m_text = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_previous = nullptr;
    QLabel *m_count = nullptr;
    QString m_lastText;
    bool m_lastCase = false;
    QPointer<QMdiSubWindow> m_window; // the control's window in the frame, if it has one
    bool m_hiddenWithWindow = false;
};

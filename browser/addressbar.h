#pragma once
#include <QObject>

class WindowManager;
class QComboBox;

// The address bar `cboAddress`: typed-address history, completion as you type,
// Enter opens a new window, choosing an entry loads it in the active window.
class AddressBar : public QObject
{
    Q_OBJECT
public:
    AddressBar(WindowManager *windows, QComboBox *combo, QObject *parent = nullptr);

    // Fills the list from the typed-address history.
    void GetHist();
    // Handlers, callable by tests as the user's actions.
    void cboAddress_Change();
    void cboAddress_Enter();
    void cboAddress_Click(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WindowManager *m_windows;
    QComboBox *m_combo;
    bool m_completing = false;
};

#pragma once
#include <QKeySequence>
#include <QList>
#include <QObject>

class QAction;
class QMainWindow;

// The frame's keys: the menus' own shortcuts and the extra keys people expect of a
// browser win over a text field's bindings, wherever the focus is in the frame, and
// the wheel never chooses an entry in a combo box the user did not click. The mouse's
// back and forward buttons go through the active page's history from anywhere in the frame.
class FrameKeys : public QObject
{
    Q_OBJECT
public:
    explicit FrameKeys(QMainWindow *frame);

    // Adds an action to the frame whose keys take precedence in its controls. With
    // pagesAtRest, a page with the focus keeps the key while it is not loading
    // (Escape closes a page's own dialogs, and stops only a load).
    QAction *addKey(const QString &name, const QList<QKeySequence> &keys, bool pagesAtRest = false);
    // Keys of existing actions that take precedence too.
    void claim(QAction *action);

Q_SIGNALS:
    // A mouse's back or forward button pressed over the frame's own controls (a page takes
    // its own).
    void historyButton(bool forward);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool claimed(QKeyCombination pressed) const;
    bool pageKeeps(QWidget *focus, QKeyCombination pressed) const;

    QMainWindow *m_frame;
    QList<QKeySequence> m_claimed;
    QList<QKeySequence> m_pagesAtRest;
};

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
    // Empties the list (the history it was filled from has been cleared); the text stays.
    void clearHist();
    // Handlers, callable by tests as the user's actions.
    void cboAddress_Change();
    void cboAddress_Enter();
    void cboAddress_Click(int index);

    // True while the user is typing in the bar: a page completing elsewhere leaves the text alone.
    bool beingEdited() const;
    // Puts the focus in the bar with its whole text selected.
    void focusAndSelect();
    // While the user is typing: gives up the typed text for the active window's
    // address (Escape). False when nothing was being typed.
    bool cancelEdit();

    // What Enter opens for a typed text: an address without the line breaks a paste may
    // bring, anything else as a search through the given template (%s stands for the words).
    static QString addressFor(const QString &typed, const QString &searchTemplate);
    static bool looksLikeAddress(const QString &typed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A link, file or text dropped on the bar: its address replaces the whole text.
    void takeDrop(const QString &address);

    WindowManager *m_windows;
    QComboBox *m_combo;
    bool m_deleting = false; // the key being handled removes text: no completion for it
    bool m_userEdited = false;
};

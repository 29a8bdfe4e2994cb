#pragma once
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>

class BrowserControl;

// Keeps a page that opens windows without the user asking (window.open in a loop,
// on load, on a timer) from burying the programme in windows. Every popup costs
// a renderer, a window and a tab, so unsolicited ones are bounded:
//  - at most PerPage from one opener between two of its page loads: real pages
//    open one or two windows on load, a loop opens hundreds;
//  - at most PerWindow across the programme in any WindowMs, which also stops
//    popups that open popups, and pages that reload themselves to start over.
// A request right after the user pressed a button or key is the user's own and is
// not counted, but each press vouches for one window only. A page turned down once
// has the engine refuse its further unsolicited windows until it loads a new page.
class PopupFlood : public QObject
{
    Q_OBJECT
public:
    static constexpr int PerPage = 3;
    static constexpr int PerWindow = 20;
    static constexpr qint64 WindowMs = 10000;
    static constexpr qint64 UserInputMs = 1000;

    explicit PopupFlood(QObject *parent = nullptr);

    // Whether the opener's page may have one more window now; counts it when yes.
    bool allow(BrowserControl *opener);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QElapsedTimer m_clock;
    qint64 m_userInputAt = -1;
    QHash<BrowserControl *, int> m_perOpener; // unsolicited windows of each opener's current page
    QList<qint64> m_recent; // grant times of unsolicited windows within WindowMs
};

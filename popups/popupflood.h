#pragma once
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class BrowserControl;
class QWidget;

// Keeps a page that opens windows without the user asking (window.open in a loop,
// on load, on a timer) from burying the programme in windows. Every popup costs
// a renderer, a window and a tab, so unsolicited ones are bounded:
//  - at most PerPage from one opener between two of its page loads: real pages
//    open one or two windows on load, a loop opens hundreds;
//  - at most PerWindow across the programme in any WindowMs, which slows pages that
//    reload themselves to start over;
//  - at most PerFamily from a family: a window and every window opened from it, and
//    from those in turn. Each popup is a fresh opener with counts of its own, so only
//    this stops a popup that opens a popup that opens a popup... A press of the user's
//    inside one of the family's windows gives the family its PerFamily again.
// A request right after the user pressed a button or key in the opener's page is the
// user's own and is not counted, but each press vouches for one window only; a press
// elsewhere (the frame, another page) vouches for nothing here. A page turned down once
// has the engine refuse its further unsolicited windows until it loads a new page.
class PopupFlood : public QObject
{
    Q_OBJECT
public:
    static constexpr int PerPage = 3;
    static constexpr int PerWindow = 20;
    static constexpr int PerFamily = 6;
    static constexpr qint64 WindowMs = 10000;
    static constexpr qint64 UserInputMs = 1000;

    explicit PopupFlood(QObject *parent = nullptr);

    // Whether the opener's page may have one more window now; counts it when yes.
    bool allow(BrowserControl *opener);
    // Whether the user pressed in the opener's page just now: what it asks for is the user's.
    bool pressedJustNow(BrowserControl *opener) const;
    // The window made for the opener's request belongs to the opener's family.
    void joinFamily(BrowserControl *opener, BrowserControl *made);

private:
    void onPressed(QWidget *target);
    struct Family {
        int unsolicited = 0; // windows opened since the user last pressed in one of them
    };
    std::shared_ptr<Family> &familyOf(BrowserControl *control);
    void track(BrowserControl *control);

    QElapsedTimer m_clock;
    QPointer<BrowserControl> m_pressedIn; // the page the user last pressed in, until it asks
    qint64 m_pressedAt = -1;
    QHash<BrowserControl *, int> m_perOpener; // unsolicited windows of each opener's current page
    QHash<BrowserControl *, std::shared_ptr<Family>> m_families; // a family lives as long as a window of it
    QList<qint64> m_recent; // grant times of unsolicited windows within WindowMs
};

#pragma once
#include <QObject>

class QShortcut;
class QWebEngineFullScreenRequest;
class QWebEngineView;
class QWidget;

// A page's own full screen (a video player's button, requestFullscreen()): its view leaves
// its window for the whole screen and comes back on Escape, when the page leaves full
// screen, or when its window closes.
class PageFullScreen : public QObject
{
    Q_OBJECT
public:
    // home: the widget whose layout holds the view, where it goes back to.
    PageFullScreen(QWebEngineView *view, QWidget *home);
    ~PageFullScreen() override;

private:
    void onRequested(QWebEngineFullScreenRequest request);
    void enter();
    void leave();

    QWebEngineView *m_view;
    QWidget *m_home;
    QShortcut *m_escape;
    bool m_on = false;
};

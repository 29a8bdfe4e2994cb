#pragma once
#include <QObject>
#include <QPointer>

class QWidget;

// Whether the person can see a widget: shown, its window not minimised and, inside a
// window area, in the area's current window. Asked to, it watches for the widget coming
// into sight (shown, restored, its window made the current one) and says so once.
class SightWatch : public QObject
{
    Q_OBJECT
public:
    explicit SightWatch(QWidget *widget);

    static bool inSight(const QWidget *widget);
    // Until the widget comes into sight; asked again while watching, nothing changes.
    void watch();

Q_SIGNALS:
    void cameIntoSight();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void stop();
    // Looks once the showing or activation that raised it has settled.
    void checkSoon();

    QWidget *m_widget;
    QPointer<QWidget> m_window; // the widget's top-level window when watching began
    QMetaObject::Connection m_activation;
    bool m_watching = false;
    bool m_checkQueued = false;
};

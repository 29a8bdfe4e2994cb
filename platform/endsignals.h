#pragma once
#include <QObject>

class QSocketNotifier;

// The signals that ask a programme to end (TERM at logout or shutdown, HUP when its
// terminal goes, INT for Ctrl+C in one) as a Qt signal, delivered in the event loop, so
// that the programme can end as its own Exit does. Once one has come, the next ends the
// programme at once, as if nobody were listening.
class EndSignals : public QObject
{
    Q_OBJECT
public:
    explicit EndSignals(QObject *parent = nullptr);
    ~EndSignals() override;

signals:
    void endRequested();

private:
    void restoreDefaults();

    QSocketNotifier *m_notifier = nullptr;
};

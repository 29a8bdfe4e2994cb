#pragma once
#include <QObject>

class CoolBar;
class QCheckBox;
class QMdiArea;
class QSlider;
class QTimer;

// Rotaview: the frame shows each child window in turn for the slider's number of
// seconds. The check box switches it on and off; bands 4 to 8 are its toolbar.
class Rotation : public QObject
{
    Q_OBJECT
public:
    // The controls it drives: the check box FlickCheck13, the slider Slider1, the
    // timer Timer1, the coolbar holding its toolbar, and the window area.
    Rotation(QCheckBox *check, QSlider *slider, QTimer *timer, CoolBar *bar, QMdiArea *area,
             QObject *parent = nullptr);

    void FlickCheck13_Click();
    void Slider1_Change();
    void Timer1_Timer();
    void SMSFlick_Click();
    // "Hide Toolbar": bands 8 down to 4.
    void cmdHide_Click();

private:
    void relayoutBands();

    QCheckBox *m_check;
    QSlider *m_slider;
    QTimer *m_timer;
    CoolBar *m_bar;
    QMdiArea *m_area;
};

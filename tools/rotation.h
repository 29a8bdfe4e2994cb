#pragma once
#include <QObject>

class mdiform1;

// Rotaview: the frame shows each child window in turn for the slider's number of
// seconds. The check box switches it on and off; bands 4 to 8 are its toolbar.
class Rotation : public QObject
{
    Q_OBJECT
public:
    explicit Rotation(mdiform1 *frame);

    void FlickCheck13_Click();
    void Slider1_Change();
    void Timer1_Timer();
    void SMSFlick_Click();
    // "Hide Toolbar": bands 8 down to 4.
    void cmdHide_Click();

private:
    void relayoutBands();
    mdiform1 *m_frame;
};

#include "tools/rotation.h"

#include "app/mdiform1.h"
#include "platform/coolbar.h"

#include <QCheckBox>
#include <QMdiArea>
#include <QSlider>
#include <QTimer>

Rotation::Rotation(mdiform1 *frame) : QObject(frame), m_frame(frame)
{
    connect(frame->FlickCheck13, &QCheckBox::toggled, this, &Rotation::FlickCheck13_Click);
    connect(frame->Slider1, &QSlider::valueChanged, this, &Rotation::Slider1_Change);
    connect(frame->Timer1, &QTimer::timeout, this, &Rotation::Timer1_Timer);
}

void Rotation::FlickCheck13_Click()
{
    const bool on = m_frame->FlickCheck13->isChecked();
    if (on)
        m_frame->Timer1->start();
    else
        m_frame->Timer1->stop();
    m_frame->Slider1->setEnabled(on);
    m_frame->FlickCheck13->setText(on ? QStringLiteral("Rotaview (%1)").arg(m_frame->Slider1->value())
                                      : QStringLiteral("Rotaview"));
    relayoutBands();
}

void Rotation::relayoutBands()
{
    CoolBar *bar = m_frame->CoolBar1;
    for (int band : {4, 5, 6})
        bar->setBandVisible(band, false);
    for (int band : {6, 5, 4})
        bar->setBandVisible(band, true);
}

void Rotation::Slider1_Change()
{
    // Setting the interval restarts a running countdown, as a new period should.
    m_frame->Timer1->setInterval(m_frame->Slider1->value() * 1000);
}

void Rotation::Timer1_Timer()
{
    // The frame's next-window action, called directly rather than through a keystroke.
    m_frame->mdiArea->activateNextSubWindow();
}

void Rotation::SMSFlick_Click()
{
    CoolBar *bar = m_frame->CoolBar1;
    if (!bar->isBandVisible(4)) {
        for (int band : {4, 5, 6, 7, 8})
            bar->setBandVisible(band, true);
    } else {
        for (int band : {8, 7, 6, 5, 4})
            bar->setBandVisible(band, false);
    }
}

void Rotation::cmdHide_Click()
{
    for (int band : {8, 7, 6, 5, 4})
        m_frame->CoolBar1->setBandVisible(band, false);
}

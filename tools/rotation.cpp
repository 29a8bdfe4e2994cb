#include "tools/rotation.h"

#include "browser/framebands.h"
#include "platform/coolbar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QSlider>
#include <QTimer>

using namespace FrameBands;

Rotation::Rotation(QCheckBox *check, QSlider *slider, QTimer *timer, CoolBar *bar, QMdiArea *area, QObject *parent)
    : QObject(parent), m_check(check), m_slider(slider), m_timer(timer), m_bar(bar), m_area(area)
{
    connect(check, &QCheckBox::toggled, this, &Rotation::FlickCheck13_Click);
    connect(slider, &QSlider::valueChanged, this, &Rotation::Slider1_Change);
    connect(timer, &QTimer::timeout, this, &Rotation::Timer1_Timer);
}

void Rotation::FlickCheck13_Click()
{
    const bool on = m_check->isChecked();
    if (on)
        m_timer->start();
    else
        m_timer->stop();
    m_slider->setEnabled(on);
    m_check->setText(on ? QStringLiteral("Rotaview (%1)").arg(m_slider->value()) : QStringLiteral("Rotaview"));
    relayoutBands();
}

void Rotation::relayoutBands()
{
    // The check box's caption changed width: hiding and showing its bands again
    // makes the bar lay them out anew, so the slider and popStat move along with it.
    // A hidden band passes the keyboard focus on (a Space on the check box would leave
    // it on "Search the Web Now"): it goes back where it was once the bands are shown.
    const QPointer<QWidget> focus = m_check->window()->focusWidget();
    for (int band : {BandFlick, BandSlider, BandPopStat})
        m_bar->setBandVisible(band, false);
    for (int band : {BandPopStat, BandSlider, BandFlick})
        m_bar->setBandVisible(band, true);
    if (focus && focus != m_check->window()->focusWidget() && focus->isVisible())
        focus->setFocus(Qt::OtherFocusReason);
}

void Rotation::Slider1_Change()
{
    // Setting the interval restarts a running countdown, as a new period should.
    m_timer->setInterval(m_slider->value() * 1000);
}

void Rotation::Timer1_Timer()
{
    // Activating a window moves the keyboard into its page: while the user is in one of
    // the frame's own text fields (the address bar, the sites panel) the tick is passed
    // over, or what they type would land in another site. On the frame's other controls
    // (the slider, the check box, the buttons) the windows move on and the keyboard stays.
    const QPointer<QWidget> focus = QApplication::focusWidget();
    // Nor while the person is in another of the programme's windows (a dialog, a page's
    // question box): activating a window pulls the keyboard away from it for a moment, and
    // the key pressed then is lost.
    if (QApplication::activeModalWidget() || (focus && focus->window() != m_area->window()))
        return;
    const bool onFrameControl = focus && !m_area->isAncestorOf(focus);
    auto *combo = qobject_cast<QComboBox *>(focus.data());
    const bool typing = qobject_cast<QLineEdit *>(focus.data()) || (combo && combo->isEditable());
    if (typing && onFrameControl)
        return;
    // The frame's next-window action, called directly rather than through a keystroke.
    m_area->activateNextSubWindow();
    if (onFrameControl && focus && QApplication::focusWidget() != focus)
        focus->setFocus(Qt::OtherFocusReason);
}

void Rotation::SMSFlick_Click()
{
    if (!m_bar->isBandVisible(BandFlick)) {
        for (int band : {BandFlick, BandSlider, BandPopStat, BandSearch, BandHide})
            m_bar->setBandVisible(band, true);
    } else {
        for (int band : {BandHide, BandSearch, BandPopStat, BandSlider, BandFlick})
            m_bar->setBandVisible(band, false);
    }
}

void Rotation::cmdHide_Click()
{
    for (int band : {BandHide, BandSearch, BandPopStat, BandSlider, BandFlick})
        m_bar->setBandVisible(band, false);
}

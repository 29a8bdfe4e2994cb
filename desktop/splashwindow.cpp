#include "desktop/splashwindow.h"

#include "core/windowregistry.h"
#include "desktop/pictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

splash::splash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("splash"));
    setWindowTitle(QStringLiteral("Welcome to Quillon"));
    setAttribute(Qt::WA_DeleteOnClose);
    WindowRegistry::add(this);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(Pictures::picture(QStringLiteral(":/pictures/splash.svg"), QSize(480, 300)));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The time counts from loading, not from showing: start-up work eats into it.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(Interval);
    connect(Timer1, &QTimer::timeout, this, &splash::Timer1_Timer);
    Timer1->start();

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
}

void splash::Timer1_Timer()
{
    close();
    Q_EMIT timedOut();
}

#include "desktop/splashwindow.h"

#include "core/windowregistry.h"
#include "core/processstate.h"
#include "desktop/pictures.h"
#include "desktop/trayicon.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// Fits text into box, the font shrinking from pixelSize until it does (wrapping when allowed).
void drawFitted(QPainter &p, const QRect &box, const QString &text, int pixelSize, bool wrap)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    const int flags = Qt::AlignLeft | Qt::AlignTop | (wrap ? Qt::TextWordWrap : Qt::TextSingleLine);
    for (; pixelSize > 8; --pixelSize) {
        f.setPixelSize(pixelSize);
        const QRect needed = QFontMetrics(f).boundingRect(box, flags, text);
        if (needed.width() <= box.width() && needed.height() <= box.height())
            break;
    }
    p.setFont(f);
    p.drawText(box, flags, text);
}
}

QString splash::wordsText()
{
    return ProcessState::skipstr == QLatin1String("YES")
        ? QStringLiteral("Left Control was held: no start-up sites are loaded.")
        : QStringLiteral("Loading your sites in the background...");
}

QString splash::waitText()
{
    return TrayIcon::isAvailable() ? QStringLiteral("v2.1 - waiting for you in the tray")
                                   : QStringLiteral("v2.1 - waiting for you on the task bar");
}

QPixmap splash::withWords(QPixmap picture)
{
    // Drawn here, not in the picture: they say what this start does, and stay clear of the quill.
    QPainter p(&picture);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QColor(0xc9, 0xd6, 0xea));
    drawFitted(p, QRect(40, 176, 270, 48), wordsText(), 17, true);
    p.setPen(QColor(0x9f, 0xb3, 0xd1));
    drawFitted(p, QRect(40, 256, 270, 20), waitText(), 13, false);
    return picture;
}

splash::splash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("splash"));
    setWindowTitle(QStringLiteral("Welcome to Quillon"));
    setAttribute(Qt::WA_DeleteOnClose);
    WindowRegistry::add(this);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(withWords(Pictures::picture(QStringLiteral(":/pictures/splash.svg"), QSize(480, 300))));
    // The words are painted into the picture: a screen reader gets them as its name.
    Image2->setAccessibleName(wordsText() + QLatin1Char(' ') + waitText());
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

#include "platform/outsidelinks.h"

#include "platform/dialogs.h"

#include <QDesktopServices>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QUrl>
#include <QWebEngineUrlScheme>
#include <QWidget>

namespace OutsideLinks {

bool engineShows(const QUrl &url)
{
    static const QSet<QString> own = {
        QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file"), QStringLiteral("data"),
        QStringLiteral("about"), QStringLiteral("blob"), QStringLiteral("filesystem"),
        QStringLiteral("view-source"), QStringLiteral("chrome"), QStringLiteral("chrome-error"),
        QStringLiteral("qrc"), QStringLiteral("devtools"), QStringLiteral("javascript")};
    const QString scheme = url.scheme().toLower();
    return own.contains(scheme) || !QWebEngineUrlScheme::schemeByName(scheme.toLatin1()).name().isEmpty();
}

void offer(QWidget *parent, const QUrl &url)
{
    static bool asking = false;
    if (asking)
        return;
    asking = true;
    // Not from inside the engine's call: a box's own event loop there holds up every page.
    QTimer::singleShot(0, [owner = QPointer<QWidget>(parent), url] {
        const QString shown = url.toString().left(2048);
        const bool yes = Dialogs::ask(owner, Dialogs::appTitle(),
                                      QStringLiteral("This link is for another programme:\n\n%1\n\n"
                                                     "Open it with that programme?").arg(shown));
        asking = false;
        if (yes)
            QDesktopServices::openUrl(url);
    });
}

}

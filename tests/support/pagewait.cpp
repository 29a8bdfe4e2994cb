#include "pagewait.h"

#include "platform/webenginebrowser.h"

#include <QEventLoop>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEnginePage>
#include <memory>

namespace PageWait {

bool load(BrowserControl *web, const QString &url, int timeoutMs)
{
    QSignalSpy done(web, &BrowserControl::DocumentComplete);
    web->Navigate(url);
    return done.wait(timeoutMs);
}

QVariant eval(BrowserControl *web, const QString &script, int timeoutMs)
{
    auto *engine = qobject_cast<WebEngineBrowser *>(web);
    if (!engine)
        return QVariant();
    QEventLoop loop;
    auto result = std::make_shared<QVariant>();
    QPointer<QEventLoop> guard(&loop);
    engine->page()->runJavaScript(script, [result, guard](const QVariant &v) {
        *result = v;
        if (guard)
            guard->quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return *result;
}

}

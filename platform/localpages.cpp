#include "platform/localpages.h"

#include <QFileInfo>
#include <QStringList>
#include <QUrl>
#include <QWebEngineUrlRequestInfo>

namespace {

bool fromLocalPage(const QWebEngineUrlRequestInfo &info)
{
    return info.firstPartyUrl().isLocalFile()
        || info.initiator().scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0;
}

// A file another page may show in a frame: a page, not a folder or a file of text or data.
bool isPage(const QUrl &url)
{
    static const QStringList kinds{QStringLiteral("html"), QStringLiteral("htm"), QStringLiteral("xhtml"),
                                   QStringLiteral("xht"), QStringLiteral("shtml")};
    const QFileInfo file(url.toLocalFile());
    return !file.isDir() && kinds.contains(file.suffix(), Qt::CaseInsensitive);
}

}

bool LocalPages::refused(const QWebEngineUrlRequestInfo &info)
{
    if (!fromLocalPage(info))
        return false;
    const QUrl &url = info.requestUrl();
    switch (info.resourceType()) {
    case QWebEngineUrlRequestInfo::ResourceTypeXhr: // XMLHttpRequest and fetch
        return url.isLocalFile();
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
        return url.isLocalFile() && !isPage(url);
    case QWebEngineUrlRequestInfo::ResourceTypeWebSocket:
        return true;
    default:
        return false;
    }
}

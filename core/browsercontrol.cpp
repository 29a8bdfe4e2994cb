#include "core/browsercontrol.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QUrl>

namespace {
BrowserControl::Factory &installed()
{
    static BrowserControl::Factory f;
    return f;
}
}

const BrowserControl::Factory &BrowserControl::factory() { return installed(); }

void BrowserControl::setFactory(Factory f) { installed() = std::move(f); }

QString BrowserControl::cleanAddress(const QString &text)
{
    QString cleaned = text;
    cleaned.removeIf([](QChar c) { return c == u'\t' || c == u'\r' || c == u'\n'; });
    return cleaned.trimmed();
}

QString BrowserControl::withoutPassword(const QString &address)
{
    // Read as the control reads it, so that "user:secret@host" without a scheme counts too.
    const QUrl url = QUrl::fromUserInput(address);
    return url.password().isEmpty() ? address : url.toString(QUrl::RemovePassword);
}

QPageLayout &BrowserControl::sharedPageLayout()
{
    static QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                              QPageLayout::Millimeter);
    return layout;
}

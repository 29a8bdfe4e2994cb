#include "core/browsercontrol.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>

namespace {
BrowserControl::Factory &installed()
{
    static BrowserControl::Factory f;
    return f;
}
}

const BrowserControl::Factory &BrowserControl::factory() { return installed(); }

void BrowserControl::setFactory(Factory f) { installed() = std::move(f); }

QPageLayout &BrowserControl::sharedPageLayout()
{
    static QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                              QPageLayout::Millimeter);
    return layout;
}

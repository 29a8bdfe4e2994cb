#include "app/browsercontrol.h"

#include "platform/webenginebrowser.h"

namespace {
BrowserControl::Factory &factory()
{
    static BrowserControl::Factory f;
    return f;
}
}

BrowserControl *BrowserControl::create(QWidget *parent)
{
    if (factory())
        return factory()(parent);
    return new WebEngineBrowser(parent);
}

void BrowserControl::setFactory(Factory f)
{
    factory() = std::move(f);
}

#include "framefixture.h"
#include "pagewait.h"

#include "core/processstate.h"
#include "core/windowregistry.h"
#include "browser/form1.h"
#include "browser/windowmanager.h"
#include "platform/dialogs.h"
#include "platform/keyboardstate.h"
#include "sites/defaultsitesmodel.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

FrameFixture::FrameFixture(bool shown) : home(std::make_unique<TempHome>())
{
    FakeBrowser::install();
    KeyboardState::setOverride(0);
    ProcessState::skipstr.clear();
    DefaultSitesModel::discard();
    frame = new mdiform1;
    if (shown)
        frame->show();
}

FrameFixture::~FrameFixture()
{
    Dialogs::setAskHook({});
    Dialogs::setTellHook({});
    Dialogs::setInputHook({});
    KeyboardState::setOverride(-1);
    deleteFrame(frame);
    DefaultSitesModel::discard();
}

ChildWindow *FrameFixture::open(const QString &address)
{
    ChildWindow *w = frame->windows->newBrowserWindow();
    frame->windows->OpenSiteWindow(w, address);
    return w;
}

QList<ChildWindow *> FrameFixture::windowsTagged(const QString &tag) const
{
    QList<ChildWindow *> list;
    for (QWidget *w : WindowRegistry::windows())
        if (auto *c = qobject_cast<ChildWindow *>(w); c && c->Tag == tag)
            list.append(c);
    return list;
}

ChildWindow *FrameFixture::windowTagged(const QString &tag) const
{
    const QList<ChildWindow *> list = windowsTagged(tag);
    return list.isEmpty() ? nullptr : list.first();
}

QWidget *FrameFixture::focusAddressBar() const
{
    frame->activateWindow();
    frame->cboAddress->setFocus(Qt::MouseFocusReason);
    const bool inBar = QTest::qWaitFor([&] {
        return QApplication::focusWidget() == frame->cboAddress
            || QApplication::focusWidget() == frame->cboAddress->lineEdit();
    });
    return inBar ? QApplication::focusWidget() : nullptr;
}

mdiform1 *FrameFixture::newEngineFrame(bool shown)
{
    BrowserControl::setFactory({});
    KeyboardState::setOverride(0);
    DefaultSitesModel::discard();
    auto *frame = new mdiform1;
    frame->resize(1200, 800);
    if (shown)
        frame->show();
    return frame;
}

mdiform1 *FrameFixture::newEngineFrameAtHome(std::unique_ptr<TempHome> &home)
{
    home = std::make_unique<TempHome>();
    mdiform1 *frame = newEngineFrame();
    if (!QTest::qWaitForWindowExposed(frame)) {
        deleteFrame(frame);
        return nullptr;
    }
    return frame;
}

void FrameFixture::deleteFrame(mdiform1 *frame)
{
    for (QWidget *w : WindowRegistry::windows())
        if (w != frame)
            delete w;
    delete frame;
}

ChildWindow *FrameFixture::openLoaded(mdiform1 *frame, const QString &url)
{
    ChildWindow *w = frame->windows->newBrowserWindow();
    frame->windows->openNumbered(w);
    return PageWait::load(w->Web1, url) ? w : nullptr;
}

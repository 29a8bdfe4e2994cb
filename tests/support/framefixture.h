#pragma once
#include "app/mdiform1.h"
#include "browser/childwindow.h"
#include "browser/windowmanager.h"
#include "fakebrowser.h"
#include "testenv.h"

#include <memory>

// A main frame whose windows get scripted browser controls, on an empty store.
struct FrameFixture {
    // shown: false leaves the frame as start-up does, never shown before the windows open.
    explicit FrameFixture(bool shown = true);
    ~FrameFixture();

    std::unique_ptr<TempHome> home;
    mdiform1 *frame = nullptr;

    static FakeBrowser *web(ChildWindow *w) { return w ? qobject_cast<FakeBrowser *>(w->Web1) : nullptr; }
    FakeBrowser *activeWeb() const { return web(frame->windows->activeChild()); }
    // Opens a window on an address as the loaders do; returns it.
    ChildWindow *open(const QString &address);
    ChildWindow *windowTagged(const QString &tag) const;
    // Puts the keyboard focus into the address bar as a click would; the widget that has it, or null.
    QWidget *focusAddressBar() const;
    // A frame whose windows get the real engine's control, on the current home; shown
    // unless asked otherwise (as at start-up, where it goes to the tray unseen).
    static mdiform1 *newEngineFrame(bool shown = true);
    // Deletes every loaded window, the frame last.
    static void deleteFrame(mdiform1 *frame);
    // A test function's start: a fresh home in home and a shown engine frame on it, once
    // exposed (null if it never is); deleteFrame and home.reset() end it.
    static mdiform1 *newEngineFrameAtHome(std::unique_ptr<TempHome> &home);
    // Opens a numbered window and loads the address in it; null when the page did not load.
    static ChildWindow *openLoaded(mdiform1 *frame, const QString &url);
    QList<ChildWindow *> windowsTagged(const QString &tag) const;
};

#pragma once
#include <QString>
#include <functional>

class BrowserControl;
class QWidget;

// Commands that hand the user over to programmes outside Quillon. Each is one
// request to the desktop; failures end the command quietly.
namespace ExternalLaunch {

// Starts the desktop's web browser at address, or without a page when it is empty.
// False when nothing could be started at once; a later fallback may still start one.
bool openBrowser(const QString &address = QString());
// Opens a new message in the desktop's mail programme.
bool openMail();

// "Launch &Browser (IE)"
void browser_Click();
// "Load active window in I&E": the active window's address; null or blank opens an empty browser.
void LoadinIE_Click(const BrowserControl *active);
// "Work Online": starts nothing, as the desktop's browsers are always online.
void IE_Click();
// "Send &Mail..." and the tray's "Send &Mail"
void RunMail_Click();
void sendMail_Click();
// "&Internet Options...": our own panel over the browser-component settings.
void mnu_InterNetOptions_Click(QWidget *parent);

// "Search the Web Now": openSiteWindow opens a new window at the address through the
// frame's window opening and returns it (or null); it is then captioned and maximised.
QString searchHomePage();
void MP3_Click(const std::function<QWidget *(const QString &address)> &openSiteWindow);

}

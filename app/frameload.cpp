// The main frame's load handler: the steps from a new frame to its rest in the tray.
#include "app/mdiform1.h"

#include "core/paths.h"
#include "core/processstate.h"
#include "core/settingsstore.h"
#include "core/shortcutfile.h"
#include "core/startuptrace.h"
#include "browser/addressbar.h"
#include "browser/form1.h"
#include "browser/framebands.h"
#include "browser/windowmanager.h"
#include "platform/coolbar.h"
#include "platform/dialogs.h"
#include "platform/internetsettings.h"
#include "sites/startuploading.h"

#include <QLayout>
#include <QSlider>

using namespace FrameBands;

bool mdiform1::MDIForm_Load(bool anotherCopyRunning)
{
    // Said once here: every save into such a file is refused for the rest of the session.
    for (const QString &path : {Paths::settingsFile(), Paths::internetSettingsFile()}) {
        const QString problem = SettingsStore::checkFile(path);
        if (!problem.isEmpty())
            Dialogs::tell(nullptr, QString(), problem, QMessageBox::Warning);
    }
    InternetSettings::writeUserAgentToken(InternetSettings::productTokenName(), InternetSettings::productTokenData());
    // The panel needs more height than a small frame has, and the frame grows for it;
    // once the panel goes, the frame goes back to its own size, which fits its screen.
    const QSize ownSize = size();
    CoolBar1->setBandVisible(BandExtras, true);
    Slider1->setEnabled(false);
    Slider1->setValue(3);
    if (anotherCopyRunning && !prevy())
        return false;
    setStatusText(QStringLiteral("Loading initial WWW pages..."));
    // A stored text that is not a number shows the band, as does 1.
    const QString builtins = SettingsStore::GetSetting(SettingsStore::AppKey, QStringLiteral("Startup"),
                                                       QStringLiteral("Show Builtins"), 1);
    CoolBar2->setBandVisible(BandBuiltins, !SettingsStore::isInt(builtins) || SettingsStore::toInt(builtins) == 1);
    additems();
    windows->Tabctr = 0;
    const QString skipstr = ProcessState::skipstr;
    if (skipstr == QLatin1String("YES")) {
        StartupLoading::LoadExtras(windows, m_panel, skipstr);
        // Nothing loads: the status bar says so rather than promise pages.
        if (windows->Tabctr == 0)
            setStatusText(QStringLiteral("Ready - no start-up sites loaded (left Control was held)"));
    } else {
        StartupLoading::LoadSites(windows);
        StartupLoading::LoadExtras(windows, m_panel, skipstr);
        if (windows->Tabctr == 0)
            setStatusText(QStringLiteral("Ready - no start-up sites are enabled"));
    }
    CoolBar1->setBandVisible(BandExtras, false);
    if (size() != ownSize) {
        // The smaller minimum size, now: a hidden frame's layouts wait until it is shown.
        for (QWidget *w = CoolBar1; w; w = w->parentWidget())
            if (w->layout())
                w->layout()->activate();
        resize(ownSize);
    }
    windows->enablePageIconsWhenSettled();
    addressBar->GetHist();
    HideToTray();
    return true;
}

void mdiform1::openAddresses(const QStringList &addresses)
{
    for (const QString &address : addresses) {
        form1 *window = windows->newBrowserWindow();
        windows->OpenSiteWindow(window, ShortcutFile::addressToOpen(address));
        StartupTrace::mark("address", window->Tag.toInt());
    }
    // Someone asked to see these pages: the frame leaves the tray.
    RestoreFromTray();
}

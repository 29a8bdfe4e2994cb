// The main frame's load handler: the steps from a new frame to its rest in the tray.
#include "app/mdiform1.h"

#include "core/processstate.h"
#include "core/settingsstore.h"
#include "browser/addressbar.h"
#include "browser/framebands.h"
#include "browser/windowmanager.h"
#include "platform/coolbar.h"
#include "platform/internetsettings.h"
#include "sites/startuploading.h"

#include <QSlider>

using namespace FrameBands;

bool mdiform1::MDIForm_Load(bool anotherCopyRunning)
{
    InternetSettings::writeUserAgentToken(InternetSettings::productTokenName(), InternetSettings::productTokenData());
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
    } else {
        StartupLoading::LoadSites(windows);
        StartupLoading::LoadExtras(windows, m_panel, skipstr);
    }
    CoolBar1->setBandVisible(BandExtras, false);
    windows->enablePageIconsWhenSettled();
    addressBar->GetHist();
    HideToTray();
    return true;
}

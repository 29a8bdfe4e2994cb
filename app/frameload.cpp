// The main frame's load handler: the steps from a new frame to its rest in the tray.
#include "app/mdiform1.h"

#include "app/processstate.h"
#include "app/settingsstore.h"
#include "browser/addressbar.h"
#include "platform/coolbar.h"
#include "platform/internetsettings.h"
#include "sites/startuploading.h"

#include <QSlider>

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
    Tabctr = 0;
    if (ProcessState::skipstr == QLatin1String("YES")) {
        StartupLoading::LoadExtras(this);
    } else {
        StartupLoading::LoadSites(this);
        StartupLoading::LoadExtras(this);
    }
    CoolBar1->setBandVisible(BandExtras, false);
    addressBar->GetHist();
    HideToTray();
    return true;
}

#include "sites/defaultsitesmodel.h"

#include "core/settingsstore.h"
#include "sites/startupslots.h"

#include <memory>

namespace {
std::unique_ptr<DefaultSitesModel> &instance()
{
    static std::unique_ptr<DefaultSitesModel> model;
    return model;
}
}

DefaultSitesModel::DefaultSitesModel()
{
    for (const StartupSlot &s : StartupSlots::defaults())
        m_checks.at(s.number - 1) = StartupSlots::readFlag(s);
    for (const StartupSlot &s : StartupSlots::defaults())
        m_addresses.at(s.number - 1) = StartupSlots::readAddress(s);
}

DefaultSitesModel &DefaultSitesModel::get()
{
    if (!instance())
        instance().reset(new DefaultSitesModel);
    return *instance();
}

bool DefaultSitesModel::exists() { return instance() != nullptr; }

void DefaultSitesModel::discard() { instance().reset(); }

bool DefaultSitesModel::save(QString *error) const
{
    bool ok = true;
    auto write = [&](const StartupSlot &s, const char *key, const QString &value) {
        QString why;
        if (!SettingsStore::SaveSetting(SettingsStore::AppKey, QLatin1String(s.section), QLatin1String(key), value, &why)
            && ok) {
            ok = false;
            if (error)
                *error = why;
        }
    };
    for (const StartupSlot &s : StartupSlots::defaults())
        write(s, s.flagKey, QString::number(m_checks.at(s.number - 1)));
    for (const StartupSlot &s : StartupSlots::defaults())
        write(s, s.addressKey, m_addresses.at(s.number - 1));
    return ok;
}

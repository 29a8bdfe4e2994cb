#include "personal/personaldetails.h"

#include "core/inifile.h"
#include "core/settingsstore.h"

namespace PersonalDetails {

const std::array<Field, Count> fields = {{
    {"pdone", "First Name:", "first", "n1", "&First Name"},
    {"pdtwo", "Family Name:", "family", "n2", "&Surname"},
    {"pdthree", "Email Address:", "email", "n3", "&Email Address"},
    {"pdfour", "URL:", "url", "n4", "&URL"},
    {"pdfive", "Street Address:", "street", "n5", "Street &Address"},
    {"pdsix", "City / Suburb:", "city", "n6", "&City"},
    // The menu item for the state was added after the others, hence its number.
    {"pdseven", "State:", "state", "n12", "S&tate"},
    {"pdeight", "Zip / Post Code:", "zip", "n7", "&Zip / Postcode"},
    {"pdnine", "Country:", "country", "n8", "Countr&y"},
    {"pdten", "Phone:", "Phone", "n9", "&Phone"},
    {"pdeleven", "Fax:", "Fax", "n10", "&Fax"},
}};

QString read(int i)
{
    if (i < 0 || i >= Count)
        return QString();
    return SettingsStore::GetSetting(SettingsStore::AppKey, Section, QLatin1String(fields[i].key), QString());
}

QStringList readAll()
{
    QStringList values;
    for (int i = 0; i < Count; ++i)
        values << read(i);
    return values;
}

bool write(int i, const QString &value, QString *error)
{
    if (i < 0 || i >= Count)
        return false;
    return SettingsStore::SaveSetting(SettingsStore::AppKey, Section, QLatin1String(fields[i].key), value, error);
}

bool writeIfAbsent(int i, const QString &value, QString *error)
{
    if (i < 0 || i >= Count)
        return false;
    const QString key = QLatin1String(fields[i].key);
    // Decided under the store's lock, on what is on disk now.
    return SettingsStore::modifyFile(SettingsStore::fileFor(SettingsStore::AppKey), [&](IniFile &file) {
        if (!file.value(Section, key))
            file.setValue(Section, key, value);
    }, error);
}

}

#include "platform/internetsettings.h"

#include "core/inifile.h"
#include "core/paths.h"
#include "core/settingsstore.h"

namespace {

constexpr int maxTypedRead = 10000; // a bound on a hostile file with endless url keys
const QString mainSection = QStringLiteral("Main");
const QString typedSection = QStringLiteral("TypedURLs");
const QString tokenSection = QStringLiteral("PostPlatform");

// A file too large, damaged or unreadable gives its defaults (damaged: what it can)
// and is never rewritten.
IniFile file()
{
    return IniFile::cached(Paths::internetSettingsFile(), SettingsStore::MaxFileBytes);
}

QString read(const QString &section, const QString &key, const QString &fallback)
{
    return file().value(section, key).value_or(fallback);
}

bool write(const std::function<void(IniFile &)> &change, QString *error)
{
    return SettingsStore::modifyFile(Paths::internetSettingsFile(), change, error);
}

QString typedKey(int n)
{
    return QStringLiteral("url%1").arg(n);
}

}

namespace InternetSettings {

QString homePage() { return read(mainSection, QStringLiteral("Start Page"), QStringLiteral("https://www.debian.org/")); }
QString searchPage() { return read(mainSection, QStringLiteral("Search Page"), QStringLiteral("https://duckduckgo.com/")); }
QString searchPageToOpen()
{
    QString page = searchPage();
    page.replace(QStringLiteral("%1"), QString());
    page.replace(QStringLiteral("%s"), QString());
    return page;
}
QString searchAddress()
{
    const QString fallback = QStringLiteral("https://duckduckgo.com/?q=%s");
    // An address with no place for the words (an emptied field, a file edited by hand)
    // would take the words for an address of their own.
    const QString stored = read(mainSection, QStringLiteral("Search Address"), fallback);
    return stored.contains(QLatin1String("%s")) ? stored : fallback;
}

bool setHomePage(const QString &url, QString *error)
{
    return write([&](IniFile &f) { f.setValue(mainSection, QStringLiteral("Start Page"), url); }, error);
}

bool setSearchAddress(const QString &address, QString *error)
{
    return write([&](IniFile &f) { f.setValue(mainSection, QStringLiteral("Search Address"), address); }, error);
}

bool setSearchPage(const QString &url, QString *error)
{
    return write([&](IniFile &f) { f.setValue(mainSection, QStringLiteral("Search Page"), url); }, error);
}

QString typedUrl(int n)
{
    return read(typedSection, typedKey(n), QString());
}

QStringList typedUrls()
{
    QStringList list;
    const IniFile f = file();
    for (int i = 0; i < maxTypedRead; ++i) {
        QString text = f.value(typedSection, typedKey(i)).value_or(QString());
        // A value holding a NUL ends there, as the platform's string reader does.
        const int nul = text.indexOf(QChar(0));
        if (nul >= 0)
            text.truncate(nul);
        if (text.isEmpty()) {
            if (i == 0)
                continue;
            break;
        }
        list.append(text);
    }
    return list;
}

bool recordTypedUrl(const QString &url)
{
    if (url.trimmed().isEmpty())
        return false;
    const QStringList read = typedUrls();
    QStringList list = read;
    list.removeAll(url);
    list.prepend(url);
    while (list.size() > MaxTypedUrls)
        list.removeLast();
    return write([&](IniFile &f) {
        // Key by key, so that recording the newest address again changes no byte.
        for (int i = 0; i < list.size(); ++i)
            f.setValue(typedSection, typedKey(i + 1), list.at(i));
        // The keys read and not written again go (url0 moves to url1); values past a
        // gap, which the list never showed, stay as they are.
        QStringList gone{typedKey(0)};
        for (int i = int(list.size()) + 1; i <= read.size(); ++i)
            gone << typedKey(i);
        f.removeKeys(typedSection, gone);
    }, nullptr);
}

bool clearTypedUrls(QString *error)
{
    return write([](IniFile &f) { f.removeSection(typedSection); }, error);
}

bool writeUserAgentToken(const QString &name, const QString &data)
{
    QString key = name;
    key.replace(QLatin1Char('/'), QLatin1Char(' ')); // '/' would read back as a group separator
    // Written only when missing or different: a start must not rewrite the file.
    if (file().value(tokenSection, key) == data)
        return true;
    return write([&](IniFile &f) { f.setValue(tokenSection, key, data); }, nullptr);
}

QStringList userAgentTokens()
{
    const QStringList names = file().keys(tokenSection);
    // Only what can safely go into a header: printable, no parentheses or separators of its own.
    QStringList tokens;
    for (const QString &name : names) {
        if (name.size() > 200 || tokens.size() >= 20)
            continue;
        bool ok = true;
        for (QChar c : name)
            ok = ok && c.unicode() >= 0x20 && c.unicode() < 0x7f && c != QLatin1Char('(') && c != QLatin1Char(')') && c != QLatin1Char(';');
        if (ok)
            tokens.append(name);
    }
    return tokens;
}

QString withTokens(QString agent, const QStringList &tokens)
{
    for (const QString &token : tokens) {
        const QString piece = QStringLiteral("; ") + token;
        const int close = agent.indexOf(QLatin1Char(')'));
        if (close < 0 || agent.left(close).contains(piece))
            continue;
        agent.insert(close, piece);
    }
    return agent;
}

QString productTokenName() { return QStringLiteral("QLN v2.1 - quillon.example.org"); }
QString productTokenData() { return QStringLiteral("QLN v2.1"); }

}

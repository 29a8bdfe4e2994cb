#include "platform/internetsettings.h"

#include "core/settingsstore.h"
#include "core/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <functional>

namespace {

constexpr int maxTypedRead = 10000; // a bound on a hostile file with endless url keys
// A real file holds a few kilobytes; a larger one is damaged or hostile, and reading
// it whole would stall the address bar. It is then neither read nor rewritten.
constexpr qint64 maxFileBytes = 4 * 1024 * 1024;

QSettings open()
{
    return QSettings(Paths::internetSettingsFile(), QSettings::IniFormat);
}

bool readable()
{
    const QFileInfo info(Paths::internetSettingsFile());
    return !info.exists() || (info.isFile() && info.size() <= maxFileBytes);
}

QString read(const QString &key, const QString &fallback)
{
    if (!readable())
        return fallback;
    QSettings s = open();
    const QVariant v = s.value(key);
    if (!v.isValid())
        return fallback;
    if (v.userType() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

bool write(const std::function<void(QSettings &)> &change, QString *error)
{
    const QString path = Paths::internetSettingsFile();
    if (!Paths::ensureDir(Paths::configDir()) || !readable()) {
        if (error)
            *error = QStringLiteral("%1 cannot be written.").arg(path);
        return false;
    }
    SettingsStore::clearAbandonedLock(path);
    QSettings s = open();
    s.allKeys(); // parses every section now: a save would drop the lines it cannot parse
    if (s.status() == QSettings::FormatError) {
        if (error)
            *error = QStringLiteral("%1 is damaged and was left as it is.").arg(path);
        return false;
    }
    // A file that cannot be read would be replaced by this change alone.
    if (s.status() != QSettings::NoError) {
        if (error)
            *error = QStringLiteral("%1 cannot be read and was left as it is.").arg(path);
        return false;
    }
    change(s);
    s.sync();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    if (s.status() != QSettings::NoError) {
        if (error)
            *error = QStringLiteral("%1 could not be written.").arg(path);
        return false;
    }
    return true;
}

}

namespace InternetSettings {

QString homePage() { return read(QStringLiteral("Main/Start Page"), QStringLiteral("https://www.debian.org/")); }
QString searchPage() { return read(QStringLiteral("Main/Search Page"), QStringLiteral("https://duckduckgo.com/")); }
QString searchAddress()
{
    return read(QStringLiteral("Main/Search Address"), QStringLiteral("https://duckduckgo.com/?q=%s"));
}

bool setHomePage(const QString &url, QString *error)
{
    return write([&](QSettings &s) { s.setValue(QStringLiteral("Main/Start Page"), url); }, error);
}

bool setSearchAddress(const QString &address, QString *error)
{
    return write([&](QSettings &s) { s.setValue(QStringLiteral("Main/Search Address"), address); }, error);
}

bool setSearchPage(const QString &url, QString *error)
{
    return write([&](QSettings &s) { s.setValue(QStringLiteral("Main/Search Page"), url); }, error);
}

QString typedUrl(int n)
{
    return read(QStringLiteral("TypedURLs/url%1").arg(n), QString());
}

QStringList typedUrls()
{
    QStringList list;
    if (!readable())
        return list;
    QSettings s = open();
    for (int i = 0; i < maxTypedRead; ++i) {
        const QVariant v = s.value(QStringLiteral("TypedURLs/url%1").arg(i));
        QString text = v.userType() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(','))
                                                              : v.toString();
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
    QStringList list = typedUrls();
    list.removeAll(url);
    list.prepend(url);
    while (list.size() > MaxTypedUrls)
        list.removeLast();
    return write([&](QSettings &s) {
        s.remove(QStringLiteral("TypedURLs"));
        for (int i = 0; i < list.size(); ++i)
            s.setValue(QStringLiteral("TypedURLs/url%1").arg(i + 1), list.at(i));
    }, nullptr);
}

bool clearTypedUrls(QString *error)
{
    return write([](QSettings &s) { s.remove(QStringLiteral("TypedURLs")); }, error);
}

bool writeUserAgentToken(const QString &name, const QString &data)
{
    QString key = name;
    key.replace(QLatin1Char('/'), QLatin1Char(' ')); // '/' would read back as a group separator
    return write([&](QSettings &s) { s.setValue(QStringLiteral("PostPlatform/") + key, data); }, nullptr);
}

QStringList userAgentTokens()
{
    if (!readable())
        return {};
    QSettings s = open();
    s.beginGroup(QStringLiteral("PostPlatform"));
    QStringList names = s.childKeys();
    s.endGroup();
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

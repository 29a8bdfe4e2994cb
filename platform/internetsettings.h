#pragma once
#include <QString>
#include <QStringList>

// The browser component's own settings (home and search page, typed-address
// history, user-agent tokens), kept in internet.ini beside the settings store.
namespace InternetSettings {

QString homePage();
QString searchPage();
// The search page to open, with no words: its placeholder (%1, or %s as in the
// address bar's search) taken out.
QString searchPageToOpen();
bool setHomePage(const QString &url, QString *error = nullptr);
bool setSearchPage(const QString &url, QString *error = nullptr);
// Where words typed into the address bar are searched: %s stands for them. A stored
// address without %s gives the default.
QString searchAddress();
bool setSearchAddress(const QString &address, QString *error = nullptr);

// The typed-address value named "url" + n, or empty text when absent.
QString typedUrl(int n);
// The history as the address bar reads it: url0 optional, then url1, url2, ... up to the first gap.
QStringList typedUrls();
// Records an address the user opened from the address bar: newest first, no duplicates, at most 25.
bool recordTypedUrl(const QString &url);
bool clearTypedUrls(QString *error = nullptr);
inline constexpr int MaxTypedUrls = 25;

// User-agent tokens: value name -> data under the Post Platform key.
bool writeUserAgentToken(const QString &name, const QString &data);
QStringList userAgentTokens();
// Inserts "; token" for each token before the first ')' of the agent, once each.
QString withTokens(QString agent, const QStringList &tokens);

// The token this programme registers at every start.
QString productTokenName();
QString productTokenData();
}

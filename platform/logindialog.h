#pragma once
#include <QString>
#include <functional>

class QWidget;

// The box a site's request for a user name and password (HTTP authentication) puts up.
namespace Dialogs {

struct Login {
    QString host;  // the site asking
    QString realm; // the site's own name for what it guards; page-supplied
    bool unencrypted = false; // the site is reached over plain http: the password goes as it is
};

// Asks for a user name and a password; false when cancelled.
bool askLogin(QWidget *parent, const Login &site, QString *user, QString *password);

// Test hook: when set, it answers instead of a real box.
using LoginHook = std::function<bool(const Login &site, QString *user, QString *password)>;
void setLoginHook(LoginHook hook);
}

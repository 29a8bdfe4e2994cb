#include "platform/logindialog.h"

#include "platform/dialogs.h"
#include "platform/windowplacement.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
Dialogs::LoginHook loginHook;
// The realm is the site's text: bounded, so that it cannot stretch the box off the screen.
constexpr int MaxRealm = 200;
}

namespace Dialogs {

bool askLogin(QWidget *parent, const Login &site, QString *user, QString *password)
{
    if (loginHook)
        return loginHook(site, user, password);
    auto *box = new QDialog(parent);
    box->setWindowTitle(QStringLiteral("Log in - %1").arg(appTitle()));
    auto *layout = new QVBoxLayout(box);
    QString text = QStringLiteral("The site %1 asks for a user name and password.").arg(site.host);
    if (!site.realm.isEmpty())
        text += QStringLiteral("\nThe site says: %1").arg(site.realm.left(MaxRealm));
    if (site.unencrypted)
        text += QStringLiteral("\nThe connection is not encrypted: others on the network may be able to "
                               "read what you send.");
    auto *label = new QLabel(text, box);
    label->setTextFormat(Qt::PlainText); // the realm comes from the site
    label->setWordWrap(true);
    layout->addWidget(label);
    auto *form = new QFormLayout;
    auto *userEdit = new QLineEdit(box);
    userEdit->setObjectName(QStringLiteral("loginUser"));
    auto *passwordEdit = new QLineEdit(box);
    passwordEdit->setObjectName(QStringLiteral("loginPassword"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("&User name:"), userEdit);
    form->addRow(QStringLiteral("&Password:"), passwordEdit);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, box, &QDialog::reject);
    layout->addWidget(buttons);
    box->resize(qMax(box->sizeHint().width(), 360), box->sizeHint().height());
    WindowPlacement::placeOver(box, parent ? parent : QApplication::activeWindow());
    const bool given = runOwned(box, QDialog::Accepted, [&] {
        *user = userEdit->text();
        *password = passwordEdit->text();
    });
    return given;
}

void setLoginHook(LoginHook hook) { loginHook = std::move(hook); }

}

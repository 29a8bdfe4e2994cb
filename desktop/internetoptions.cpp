#include "desktop/internetoptions.h"

#include "core/windowregistry.h"
#include "platform/dialogs.h"
#include "platform/internetsettings.h"
#include "core/browsercontrol.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPointer<InternetOptionsDialog> &openPanel()
{
    static QPointer<InternetOptionsDialog> panel;
    return panel;
}

QPushButton *button(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
}

InternetOptionsDialog::InternetOptionsDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInternetOptions"));
    setWindowTitle(QStringLiteral("Internet Options"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    WindowRegistry::add(this);

    txtHomePage = new QLineEdit(InternetSettings::homePage(), this);
    txtHomePage->setObjectName(QStringLiteral("txtHomePage"));
    txtSearchPage = new QLineEdit(InternetSettings::searchPage(), this);
    txtSearchPage->setObjectName(QStringLiteral("txtSearchPage"));
    txtSearchPage->setToolTip(QStringLiteral("The page Search opens; %1 or %s in it stands for the words, left empty."));

    txtSearchAddress = new QLineEdit(InternetSettings::searchAddress(), this);
    txtSearchAddress->setObjectName(QStringLiteral("txtSearchAddress"));
    txtSearchAddress->setToolTip(QStringLiteral("Words typed into the address bar are searched here; %s stands for them."));

    auto *pages = new QGroupBox(QStringLiteral("Pages"), this);
    auto *form = new QFormLayout(pages);
    form->addRow(QStringLiteral("&Home page:"), txtHomePage);
    form->addRow(QStringLiteral("Sea&rch page:"), txtSearchPage);
    form->addRow(QStringLiteral("Search from the &address bar:"), txtSearchAddress);

    auto *history = new QGroupBox(QStringLiteral("Typed addresses"), this);
    lstHistory = new QListWidget(history);
    lstHistory->setObjectName(QStringLiteral("lstHistory"));
    lstHistory->setAccessibleName(QStringLiteral("Typed addresses"));
    cmdClearHistory = button(QStringLiteral("cmdClearHistory"), QStringLiteral("Clear His&tory"), history);
    auto *historyLayout = new QVBoxLayout(history);
    historyLayout->addWidget(lstHistory);
    historyLayout->addWidget(cmdClearHistory, 0, Qt::AlignRight);

    auto *storage = new QGroupBox(QStringLiteral("Browsing data"), this);
    cmdClearCache = button(QStringLiteral("cmdClearCache"), QStringLiteral("Delete Cache and C&ookies..."), storage);
    auto *storageLayout = new QHBoxLayout(storage);
    storageLayout->addWidget(new QLabel(QStringLiteral("Pages kept for quick loading, and sign-ins."), storage), 1);
    storageLayout->addWidget(cmdClearCache);

    cmdSave = button(QStringLiteral("cmdSave"), QStringLiteral("&Save"), this);
    cmdSave->setDefault(true);
    cmdClose = button(QStringLiteral("cmdClose"), QStringLiteral("&Close"), this);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdSave, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdClose, QDialogButtonBox::RejectRole);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(history, 1);
    layout->addWidget(storage);
    layout->addWidget(buttons);

    connect(cmdSave, &QPushButton::clicked, this, [this] {
        if (cmdSave_Click())
            close();
    });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(cmdClearHistory, &QPushButton::clicked, this, &InternetOptionsDialog::cmdClearHistory_Click);
    connect(cmdClearCache, &QPushButton::clicked, this, &InternetOptionsDialog::cmdClearCache_Click);

    loadHistory();
    resize(520, 420);
}

InternetOptionsDialog *InternetOptionsDialog::open(QWidget *parent)
{
    InternetOptionsDialog *panel = openPanel();
    // A closed window waits for its deletion hidden: the next opening makes a fresh one.
    if (!panel || panel->isHidden()) {
        panel = new InternetOptionsDialog(parent);
        openPanel() = panel;
    }
    panel->show();
    panel->raise();
    panel->activateWindow();
    return panel;
}

InternetOptionsDialog *InternetOptionsDialog::current() { return openPanel(); }

void InternetOptionsDialog::loadHistory()
{
    lstHistory->clear();
    lstHistory->addItems(InternetSettings::typedUrls());
    cmdClearHistory->setEnabled(lstHistory->count() > 0);
}

bool InternetOptionsDialog::cmdSave_Click()
{
    const QString searchAddress = txtSearchAddress->text().trimmed();
    if (!searchAddress.isEmpty() && !searchAddress.contains(QLatin1String("%s"))) {
        Dialogs::tell(this, QString(),
                      QStringLiteral("The address for searches from the address bar needs %s where the words go."),
                      QMessageBox::Warning);
        txtSearchAddress->setFocus();
        return false;
    }
    QString error;
    if (!InternetSettings::setHomePage(txtHomePage->text().trimmed(), &error)
        || !InternetSettings::setSearchPage(txtSearchPage->text().trimmed(), &error)
        || !InternetSettings::setSearchAddress(searchAddress, &error)) {
        Dialogs::tell(this, QString(), QStringLiteral("The settings were not saved: %1").arg(error),
                      QMessageBox::Warning);
        return false;
    }
    return true;
}

void InternetOptionsDialog::cmdClearHistory_Click()
{
    QString error;
    const bool cleared = InternetSettings::clearTypedUrls(&error);
    if (!cleared)
        Dialogs::tell(this, QString(), QStringLiteral("The history was not cleared: %1").arg(error),
                      QMessageBox::Warning);
    loadHistory();
    if (cleared)
        Q_EMIT historyCleared();
}

void InternetOptionsDialog::cmdClearCache_Click()
{
    // Deleting cookies signs the user out of every site: worth one question.
    if (!Dialogs::ask(this, QString(),
                      QStringLiteral("Delete all stored pages and cookies? You will be signed out of the sites you "
                                     "use. What sites keep on this computer for themselves (their storage and "
                                     "databases) is deleted when Quillon next starts; until then, a site that keeps "
                                     "your sign-in there may still show you signed in.")))
        return;
    QString error;
    if (!BrowserControl::clearCacheAndCookies(&error))
        Dialogs::tell(this, QString(),
                      QStringLiteral("Stored pages and cookies were deleted, but what sites keep on this computer "
                                     "could not be marked for deletion at the next start: %1").arg(error),
                      QMessageBox::Warning);
}

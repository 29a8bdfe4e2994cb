#include "desktop/aboutwindow.h"

#include "core/windowregistry.h"
#include "desktop/pictures.h"
#include "platform/windowplacement.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPointer<frmAboutIt> &openAbout()
{
    static QPointer<frmAboutIt> about;
    return about;
}

frmAboutIt *showAbout(QWidget *parent, Qt::WindowModality modality)
{
    frmAboutIt *about = openAbout();
    // A closed window waits for its deletion hidden: the next opening makes a fresh one.
    if (!about || about->isHidden()) {
        about = new frmAboutIt(parent);
        openAbout() = about;
        WindowPlacement::placeOver(about, parent);
    }
    // Modality only changes while hidden.
    if (about->windowModality() != modality) {
        about->hide();
        about->setWindowModality(modality);
    }
    about->show();
    about->raise();
    about->activateWindow();
    return about;
}

}

frmAboutIt::frmAboutIt(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAboutIt"));
    setWindowTitle(QStringLiteral("What About It?"));
    setAttribute(Qt::WA_DeleteOnClose);
    WindowRegistry::add(this);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(Pictures::picture(QStringLiteral(":/pictures/about.svg"), QSize(440, 250)));
    Image1->setAlignment(Qt::AlignCenter);
    // What the picture says, for those who cannot see it.
    Image1->setAccessibleName(QStringLiteral("Quillon. Many pages, one window. Your sites, loaded while you read."));

    Command1 = new QPushButton(QStringLiteral("&OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Image1);
    layout->addWidget(Command1, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command1, &QPushButton::clicked, this, &frmAboutIt::Command1_Click);
}

void frmAboutIt::Command1_Click() { close(); }

namespace AboutWindow {

frmAboutIt *current() { return openAbout(); }
frmAboutIt *showModal(QWidget *parent) { return showAbout(parent, Qt::ApplicationModal); }
frmAboutIt *showModeless(QWidget *parent) { return showAbout(parent, Qt::NonModal); }

}

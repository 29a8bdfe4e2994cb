#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// A fixed window presenting the product with its picture.
class frmAboutIt : public QDialog
{
    Q_OBJECT
public:
    explicit frmAboutIt(QWidget *parent = nullptr);

    QLabel *Image1 = nullptr;
    QPushButton *Command1 = nullptr;

    void Command1_Click();
};

namespace AboutWindow {
// The open about window, if any.
frmAboutIt *current();
// "A&bout Quillon" of the Help menu: the rest of the programme waits until "&OK".
frmAboutIt *showModal(QWidget *parent);
// "&About Quillon" of the tray menu: on its own, since the frame may be hidden.
frmAboutIt *showModeless(QWidget *parent);
}

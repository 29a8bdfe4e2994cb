#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The ban list editor: shows the file's entries, proposes the address bar's text as
// the next one, and writes the list back on OK. Closing any other way discards edits.
class frmBan : public QDialog
{
    Q_OBJECT
public:
    // addressText is the main frame's address combo text at the time of opening.
    explicit frmBan(const QString &addressText, QWidget *parent = nullptr);

    // Loads a fresh dialog and shows it modally; returns when it is closed.
    static void showModal(QWidget *parent, const QString &addressText);

    QLabel *lbl = nullptr;
    QLabel *lblNote = nullptr; // says when the list shown is not the whole file
    QLineEdit *txtBan = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdDel = nullptr;
    QPushButton *cmdOK = nullptr;
    QListWidget *lstBan = nullptr;

    void cmdAdd_Click();
    void cmdDel_Click();
    void cmdOK_Click();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load(const QString &addressText);
    int twips(int value) const;
    // Grows the controls a large font would cut, and the dialog with them.
    void makeRoomForText();
    // Whether a control's text shows whole in the place it has.
    static bool textFits(QWidget *w);
    // The list fills the dialog below the controls.
    void placeList();

    // Why the file may not be replaced by the list shown, or empty text when it may.
    QString m_keepFile;
    QStringList m_loaded;
    int m_listTop = 0; // in pixels: below the controls above, however much they grew
};

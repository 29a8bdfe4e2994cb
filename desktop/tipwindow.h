#pragma once
#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;

// The tip of the day: one random tip from the tips file, a step to another, and
// the switch that shows the window at start-up.
class frmTip : public QDialog
{
    Q_OBJECT
public:
    explicit frmTip(QWidget *parent = nullptr);

    // The window's load rules: false when the setting says the window must not show
    // (it is then discarded unseen) and nobody asked for it; otherwise sets the switch
    // and reads the tips.
    bool Form_Load(const QString &tipsPath, bool requested = false);
    bool LoadTips(const QString &path);
    void DisplayCurrentTip();

    void chkLoadTipsAtStartup_Click();
    void cmdNextTip_Click();
    void cmdOK_Click();

    QStringList tips() const { return m_tips; }
    int currentTip() const { return m_currentTip; }

    QLabel *Label1 = nullptr;
    QLabel *lblTipText = nullptr;
    QLabel *Label2 = nullptr;
    QCheckBox *chkLoadTipsAtStartup = nullptr;
    QPushButton *cmdNextTip = nullptr;
    QPushButton *cmdOK = nullptr;

    static QString missingFileMessage();

private:
    void chooseTip();
    void fitToText();

    QStringList m_tips;
    int m_currentTip = 0;
};

namespace TipOfDay {

inline const QString SettingKey = QStringLiteral("Show Tips at Startup");

// The open tip window, if any.
frmTip *current();
// Creates the window if needed (reading the tips) and shows it, not modal; null when
// the setting keeps it from showing, unless requested by the user.
frmTip *open(QWidget *parent, const QString &tipsPath, bool requested = false);
frmTip *open(QWidget *parent);
// "&Tip of the Day": switches the start-up display on, then shows the window.
frmTip *tipday(QWidget *parent);
// After the splash: shows the window only when the setting reads as exactly 1.
frmTip *showAtStartup(QWidget *parent);

}

#include "desktop/tipwindow.h"

#include "core/settingsstore.h"
#include "core/textcut.h"
#include "core/windowregistry.h"
#include "desktop/pictures.h"
#include "desktop/tipsfile.h"
#include "core/paths.h"
#include "platform/dialogs.h"
#include "platform/windowplacement.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

namespace {

QPointer<frmTip> &openTip()
{
    static QPointer<frmTip> tip;
    return tip;
}

QLabel *plainLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText); // tips come from a file: never markup
    label->setWordWrap(true);
    return label;
}

// A tip is shown within the window: a very long one is cut with an ellipsis, and a run
// without blanks gets break chances so that word wrap can fold it.
QString fitted(QString tip)
{
    constexpr int maxShown = 600;
    constexpr int maxRun = 24;
    if (const QString shown = TextCut::left(tip, maxShown); shown.size() < tip.size())
        tip = shown + QChar(0x2026);
    QString out;
    int run = 0;
    for (const QChar c : tip) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > maxRun && !c.isLowSurrogate()) {
            out += QChar(0x200B);
            run = 1;
        }
        out += c;
    }
    return out;
}

int startupSetting()
{
    using namespace SettingsStore;
    return toInt(GetSetting(AppKey, QStringLiteral("Startup"), TipOfDay::SettingKey, 1), 0);
}

// Writes "1" to the setting; whether the next start shows the window, written or not.
bool switchOn()
{
    return SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Startup"), TipOfDay::SettingKey,
                                      QStringLiteral("1"))
        || startupSetting() == 1;
}

}

frmTip::frmTip(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Quillon - Tip of the Day"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    WindowRegistry::add(this);

    auto *icon = new QLabel(this);
    icon->setPixmap(Pictures::appIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Label1 = plainLabel(QStringLiteral("Label1"), QStringLiteral("Did you know..."), this);
    QFont bold = Label1->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    Label1->setFont(bold);
    lblTipText = plainLabel(QStringLiteral("lblTipText"), QString(), this);
    lblTipText->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    lblTipText->setMinimumHeight(90);
    lblTipText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label2 = plainLabel(QStringLiteral("Label2"),
                        QStringLiteral("The first thing you should do is change what default sites load on startup!  "
                                       "Use the 'Web Sites /Default Sites (1-8)' and 'Edit Additional Sites (9-32)' menus..."),
                        this);
    Label2->setFrameShape(QFrame::StyledPanel);
    Label2->setMargin(6);

    chkLoadTipsAtStartup = new QCheckBox(QStringLiteral("&Show Tips at Startup"), this);
    chkLoadTipsAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    cmdNextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto *tipBox = new QFrame(this);
    tipBox->setFrameShape(QFrame::StyledPanel);
    tipBox->setBackgroundRole(QPalette::Base);
    tipBox->setAutoFillBackground(true);
    auto *tipLayout = new QGridLayout(tipBox);
    tipLayout->addWidget(icon, 0, 0, 2, 1);
    tipLayout->addWidget(Label1, 0, 1);
    tipLayout->addWidget(lblTipText, 1, 1);
    tipLayout->setColumnStretch(1, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdNextTip);
    buttons->addStretch(1);

    auto *top = new QHBoxLayout;
    top->addWidget(tipBox, 1);
    top->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(Label2);
    layout->addWidget(chkLoadTipsAtStartup);

    connect(chkLoadTipsAtStartup, &QCheckBox::clicked, this, &frmTip::chkLoadTipsAtStartup_Click);
    connect(cmdNextTip, &QPushButton::clicked, this, &frmTip::cmdNextTip_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmTip::cmdOK_Click);
    resize(460, 300);
    fitToText();
}

QString frmTip::missingFileMessage()
{
    const QString file = QStringLiteral("TIPOFDAY.TXT");
    const QString lineBreak = QStringLiteral("\r\n");
    return QStringLiteral("That the ") + file + QStringLiteral(" file was not found? ") + lineBreak + lineBreak
        + QStringLiteral("Create a text file named ") + file + QStringLiteral(" using NotePad with 1 tip per line. ")
        + QStringLiteral("Then place it in the same directory as the application. ");
}

bool frmTip::Form_Load(const QString &tipsPath, bool requested)
{
    if (startupSetting() == 0 && !requested)
        return false;
    // Opening checks the box, which switches the start-up display back on. A store that
    // refuses the write (damaged, read-only) is not worth a message here: the box shows
    // what the next start will do, and a click on it says why it cannot change.
    chkLoadTipsAtStartup->setChecked(switchOn());
    if (!LoadTips(tipsPath)) {
        lblTipText->setText(missingFileMessage());
        fitToText();
    }
    return true;
}

bool frmTip::LoadTips(const QString &path)
{
    QStringList lines;
    if (!TipsFile::read(path, &lines))
        return false;
    m_tips.append(lines);
    chooseTip();
    return true;
}

void frmTip::chooseTip()
{
    if (m_tips.isEmpty())
        return;
    m_currentTip = int(QRandomGenerator::global()->bounded(qint64(m_tips.size()))) + 1;
    DisplayCurrentTip();
}

void frmTip::DisplayCurrentTip()
{
    if (m_tips.isEmpty() || m_currentTip < 1 || m_currentTip > m_tips.size())
        return;
    lblTipText->setText(fitted(m_tips.at(m_currentTip - 1)));
    fitToText();
}

void frmTip::fitToText()
{
    // Wrapped text needs more height at larger fonts and for longer tips: grow, never clip.
    const int w = qMax(width(), 460);
    const int needed = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(w) : layout()->totalSizeHint().height();
    resize(w, qMax(height(), needed));
}

void frmTip::chkLoadTipsAtStartup_Click()
{
    QString error;
    if (SettingsStore::SaveSetting(SettingsStore::AppKey, QStringLiteral("Startup"), TipOfDay::SettingKey,
                                   chkLoadTipsAtStartup->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
                                   &error))
        return;
    // The box must say what the next start will do, which is what the store still holds.
    chkLoadTipsAtStartup->setChecked(startupSetting() == 1);
    Dialogs::tell(this, QString(), QStringLiteral("Your choice could not be saved.\n\n") + error,
                  QMessageBox::Warning);
}

void frmTip::cmdNextTip_Click() { chooseTip(); }

void frmTip::cmdOK_Click() { close(); }

namespace TipOfDay {

frmTip *current() { return openTip(); }

frmTip *open(QWidget *parent, const QString &tipsPath, bool requested)
{
    frmTip *tip = openTip();
    // A closed window waits for its deletion hidden: the next opening makes a fresh one.
    if (!tip || tip->isHidden()) {
        tip = new frmTip(parent);
        if (!tip->Form_Load(tipsPath, requested)) {
            delete tip;
            return nullptr;
        }
        openTip() = tip;
        WindowPlacement::placeOver(tip, parent);
    }
    tip->show();
    tip->raise();
    tip->activateWindow();
    return tip;
}

frmTip *open(QWidget *parent) { return open(parent, Paths::tipsFile()); }

frmTip *tipday(QWidget *parent)
{
    const bool on = switchOn();
    // A window already open may show the switch off; the command has just turned it on.
    if (frmTip *tip = openTip())
        tip->chkLoadTipsAtStartup->setChecked(on);
    // The user asked for the window: it shows even when the store kept the switch off.
    return open(parent, Paths::tipsFile(), true);
}

frmTip *showAtStartup(QWidget *parent)
{
    if (startupSetting() != 1)
        return nullptr;
    return open(parent);
}

}

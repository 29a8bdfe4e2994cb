#include "sites/form2.h"

#include "core/windowregistry.h"
#include "platform/buttonkeys.h"
#include "platform/dialogs.h"
#include "sites/defaultsitesmodel.h"
#include "sites/startupslots.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <limits>

namespace {

const QString closeHelp = QStringLiteral("Close this dialog box without saving.");
const QString saveHelp = QStringLiteral("Save current settings.");
const QString frameHelp = QStringLiteral("Enter the URL for the pages you would like to be downloaded automatically..");

// The dialog's rows top to bottom; they are not in slot order.
struct Row {
    int slot;
    const char *field;
    const char *check;
};
constexpr std::array<Row, 8> rows = {{
    {1, "SITE1", "Check1"},
    {3, "SITE3", "Check3"},
    {2, "SITE2", "Check2"},
    {4, "site4", "Check4"},
    {6, "SiTe6", "Check6"},
    {5, "site5", "Check5"},
    {7, "site99", "Check99"},
    {8, "site200", "Check200"},
}};

QPointer<Form2> &openDialog()
{
    static QPointer<Form2> dialog;
    return dialog;
}

}

Form2::Form2(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Startup Options"));
    WindowRegistry::add(this);

    auto *heading = new QLabel(QStringLiteral("Default Sites (1-8)"), this);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    heading->setFont(headingFont);

    m_frame = new QGroupBox(QStringLiteral("Auto-loading WWW pages"), this);
    m_frame->setObjectName(QStringLiteral("Frame4"));
    auto *grid = new QGridLayout(m_frame);
    int line = 0;
    for (const Row &r : rows) {
        const StartupSlot &s = StartupSlots::slot(r.slot);
        auto *field = new QLineEdit(m_frame);
        field->setObjectName(QLatin1String(r.field));
        field->setMinimumWidth(320);
        // Qt cuts a line edit's text at 32,767 characters; a data: address runs longer.
        field->setMaxLength(std::numeric_limits<int>::max());
        auto *box = new QCheckBox(m_frame);
        box->setObjectName(QLatin1String(r.check));
        box->setToolTip(QStringLiteral("Load this site at start-up"));
        // Without text of its own a check box is read out by its group's title, the same for all eight.
        box->setAccessibleName(QStringLiteral("Load %1 at start-up").arg(QLatin1String(s.label)));
        auto *label = new QLabel(QLatin1String(s.label), m_frame);
        label->setBuddy(field);
        grid->addWidget(label, line, 0);
        grid->addWidget(field, line, 1);
        grid->addWidget(box, line, 2);
        m_sites.at(r.slot - 1) = field;
        m_checks.at(r.slot - 1) = box;
        ++line;
    }
    auto *note = new QLabel(QStringLiteral("Note: FTP and local sites can be substituted for WWW sites."), m_frame);
    grid->addWidget(note, line, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    auto *save = new QPushButton(QStringLiteral("&Save"), this);
    save->setObjectName(QStringLiteral("Command2"));
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("Command1"));
    // Enter in a field must not save or close by surprise; on a button it presses it.
    save->setAutoDefault(false);
    close->setAutoDefault(false);
    ButtonKeys::enterPressesFocusedButton(this);
    m_save = save;
    m_close = close;
    connect(save, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(close, &QPushButton::clicked, this, &Form2::reject);

    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_frame);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    // Wide enough that the longest help text is read whole.
    setMinimumWidth(m_status->fontMetrics().horizontalAdvance(frameHelp) + 48);

    for (QWidget *w : {m_save, m_close, static_cast<QWidget *>(m_frame)})
        w->installEventFilter(this);

    // Tab order follows the rows as shown: field, then its check box.
    QWidget *previous = nullptr;
    for (const Row &r : rows) {
        for (QWidget *w : {static_cast<QWidget *>(site(r.slot)), static_cast<QWidget *>(check(r.slot))}) {
            if (previous)
                setTabOrder(previous, w);
            previous = w;
        }
    }
    setTabOrder(previous, save);
    setTabOrder(save, close);
}

Form2 *Form2::showOptions(QWidget *parent)
{
    if (Form2 *open = openDialog()) {
        open->raise();
        open->activateWindow();
        return open;
    }
    auto *dialog = new Form2(parent);
    openDialog() = dialog;
    dialog->fillFrom(DefaultSitesModel::get());
    // Gone once hidden, so a later opening makes a new dialog from the model afresh.
    connect(dialog, &QDialog::finished, dialog, [dialog] {
        if (openDialog() == dialog)
            openDialog() = nullptr;
        dialog->deleteLater();
    });
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    return dialog;
}

Form2 *Form2::current() { return openDialog(); }

void Form2::unload()
{
    if (Form2 *open = openDialog())
        open->reject();
}

void Form2::fillFrom(const DefaultSitesModel &model)
{
    for (int slot = 1; slot <= StartupSlots::DefaultCount; ++slot) {
        // Only a stored 1 enables a slot; anything else shows unchecked.
        check(slot)->setChecked(model.check(slot) == 1);
        site(slot)->setText(model.address(slot));
    }
}

void Form2::writeTo(DefaultSitesModel &model) const
{
    for (int slot = 1; slot <= StartupSlots::DefaultCount; ++slot) {
        model.setCheck(slot, check(slot)->isChecked() ? 1 : 0);
        model.setAddress(slot, site(slot)->text());
    }
}

void Form2::Command2_Click()
{
    DefaultSitesModel &model = DefaultSitesModel::get();
    writeTo(model);
    QString why;
    if (!model.save(&why)) {
        // The edits stay on screen and in the model so that the user can try again.
        Dialogs::tell(this, QString(),
                      QStringLiteral("The default sites could not be saved.\n\n%1").arg(why),
                      QMessageBox::Warning);
        return;
    }
    DefaultSitesModel::discard();
    accept();
}

void Form2::reject()
{
    DefaultSitesModel::discard();
    QDialog::reject();
}

bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter) {
        if (watched == m_close)
            m_status->showMessage(closeHelp);
        else if (watched == m_save)
            m_status->showMessage(saveHelp);
        else if (watched == m_frame)
            m_status->showMessage(frameHelp);
    }
    return QDialog::eventFilter(watched, event);
}

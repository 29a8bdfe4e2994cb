#include "sites/additionalsitespanel.h"

#include "core/settingsstore.h"
#include "platform/dialogs.h"
#include "sites/startupslots.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace {

constexpr int LinesPerColumn = 12;
// Rows of each column, top to bottom.
constexpr std::array<int, LinesPerColumn> leftRows = {1, 2, 3, 7, 8, 9, 13, 14, 15, 16, 17, 18};
constexpr std::array<int, LinesPerColumn> rightRows = {4, 5, 6, 10, 11, 12, 19, 20, 21, 22, 23, 24};

}

AdditionalSitesPanel::AdditionalSitesPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("Additional Sites"), parent)
{
    setObjectName(QStringLiteral("Frame2"));

    for (int row = 1; row <= Rows; ++row) {
        auto *field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("Site%1").arg(row));
        field->setToolTip(QStringLiteral("Start-up site %1 - double-click to open it now").arg(row + 8));
        // A bare slot number, or the panel's title on every check box, says little to a screen reader.
        field->setAccessibleName(QStringLiteral("Start-up site %1").arg(row + 8));
        field->installEventFilter(this);
        // Qt cuts a line edit's text at 32,767 characters; a data: address runs longer.
        field->setMaxLength(std::numeric_limits<int>::max());
        auto *box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("Check%1").arg(row));
        box->setToolTip(QStringLiteral("Load site %1 at start-up").arg(row + 8));
        box->setAccessibleName(box->toolTip());
        m_sites.at(row - 1) = field;
        m_checks.at(row - 1) = box;
    }

    // Each column: slot number, field, its check box. Kept tight so the band stays short.
    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(6);
    auto placeColumn = [&](const std::array<int, LinesPerColumn> &rows, int firstColumn) {
        for (int line = 0; line < LinesPerColumn; ++line) {
            const int row = rows.at(line);
            auto *number = new QLabel(QString::number(row + 8), this);
            number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            number->setBuddy(siteField(row));
            grid->addWidget(number, line, firstColumn);
            grid->addWidget(siteField(row), line, firstColumn + 1);
            grid->addWidget(checkBox(row), line, firstColumn + 2);
        }
    };
    placeColumn(leftRows, 0);
    placeColumn(rightRows, 4);
    grid->setColumnMinimumWidth(3, 16);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);

    auto *label = new QLabel(QStringLiteral("Up to 32 sites can be downloaded automatically on startup."), this);
    label->setObjectName(QStringLiteral("Label2"));
    auto *save = new QPushButton(QStringLiteral("&Save"), this);
    save->setObjectName(QStringLiteral("Command7"));
    m_save = save;
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("Command6"));
    connect(save, &QPushButton::clicked, this, &AdditionalSitesPanel::Command7_Click);
    connect(close, &QPushButton::clicked, this, &AdditionalSitesPanel::closeClicked);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(label, 1);
    bottom->addWidget(save);
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addLayout(grid);
    layout->addLayout(bottom);

    // Tab order follows the slot numbers, each field before its check box.
    QWidget *previous = nullptr;
    for (int row = 1; row <= Rows; ++row) {
        for (QWidget *w : {static_cast<QWidget *>(siteField(row)), static_cast<QWidget *>(checkBox(row))}) {
            if (previous)
                setTabOrder(previous, w);
            previous = w;
        }
    }
    setTabOrder(previous, save);
    setTabOrder(save, close);
}

int AdditionalSitesPanel::check(int row) const { return checkBox(row)->isChecked() ? 1 : 0; }

void AdditionalSitesPanel::setCheck(int row, int state) { checkBox(row)->setChecked(state == 1); }

QString AdditionalSitesPanel::site(int row) const { return siteField(row)->text(); }

void AdditionalSitesPanel::setSite(int row, const QString &text) { siteField(row)->setText(text); }

bool AdditionalSitesPanel::save(QString *error) const
{
    bool ok = true;
    auto write = [&](const StartupSlot &s, const char *key, const QString &value) {
        QString why;
        if (!SettingsStore::SaveSetting(SettingsStore::AppKey, QLatin1String(s.section), QLatin1String(key), value,
                                        &why)
            && ok) {
            ok = false;
            if (error)
                *error = why;
        }
    };
    const auto &table = StartupSlots::additional();
    for (int row = 1; row <= Rows; ++row)
        write(table.at(row - 1), table.at(row - 1).flagKey, QString::number(check(row)));
    for (int row = 1; row <= Rows; ++row)
        write(table.at(row - 1), table.at(row - 1).addressKey, site(row));
    return ok;
}

void AdditionalSitesPanel::Command7_Click()
{
    QString why;
    if (!save(&why)) {
        // The panel stays up with its edits so that nothing typed is lost.
        Dialogs::tell(window(), QString(), QStringLiteral("The additional sites could not be saved.\n\n%1").arg(why),
                      QMessageBox::Warning);
        return;
    }
    Q_EMIT saved();
}

bool AdditionalSitesPanel::eventFilter(QObject *watched, QEvent *event)
{
    // A field would take Alt+S as a letter.
    if (event->type() == QEvent::KeyPress && isSaveKey(event)) {
        m_save->click();
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int row = 1; row <= Rows; ++row) {
            if (watched == siteField(row)) {
                Q_EMIT siteDoubleClicked(row, site(row));
                break;
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

bool AdditionalSitesPanel::event(QEvent *event)
{
    // Alt+S is also the menu bar's "Web &Sites"; shared, it would only move the focus
    // between the two. From inside the panel it is the panel's Save.
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) && isSaveKey(event)) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            m_save->click();
        return true;
    }
    return QGroupBox::event(event);
}

bool AdditionalSitesPanel::isSaveKey(QEvent *event)
{
    return static_cast<QKeyEvent *>(event)->keyCombination() == QKeyCombination(Qt::AltModifier, Qt::Key_S);
}

#include "popups/frmban.h"

#include "core/windowregistry.h"
#include "platform/buttonkeys.h"
#include "platform/dialogs.h"
#include "popups/banlist.h"

#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QStyle>

namespace {
// The designed layout, in twips (1/1440 inch).
constexpr int margin = 120;
constexpr int listTop = 2160;
constexpr int listWidth = 9735;
constexpr int listHeight = 2790;

// Entries on disk now that were not there at loading (repeats counted) and that the
// dialog's list does not hold: another writer added them while the dialog was open.
QStringList addedSince(const QStringList &loaded, const QStringList &onDisk, const QStringList &shown)
{
    QHash<QString, int> before;
    for (const QString &entry : loaded)
        ++before[entry];
    const QSet<QString> kept(shown.begin(), shown.end());
    QStringList added;
    for (const QString &entry : onDisk) {
        const auto seen = before.find(entry);
        if (seen != before.end() && *seen > 0)
            --*seen;
        else if (!kept.contains(entry))
            added << entry;
    }
    return added;
}
}

frmBan::frmBan(const QString &addressText, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBan"));
    setWindowTitle(QStringLiteral("Ban List - Restricted PopUps"));
    QFont text(QStringLiteral("Verdana"));
    setFont(text);

    auto place = [this](QWidget *w, const char *name, int left, int top, int width, int height) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(twips(left), twips(top), twips(width), twips(height));
    };
    lbl = new QLabel(QStringLiteral("Add To Ban List:"), this);
    place(lbl, "lbl", 120, 240, 2415, 255);
    txtBan = new QLineEdit(this);
    place(txtBan, "txtBan", 120, 600, 4455, 285);
    cmdAdd = new QPushButton(QStringLiteral("&Add"), this);
    place(cmdAdd, "cmdAdd", 960, 1320, 855, 375);
    cmdDel = new QPushButton(QStringLiteral("&Delete"), this);
    place(cmdDel, "cmdDel", 1920, 1320, 855, 375);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    place(cmdOK, "cmdOK", 2880, 1320, 855, 375);
    lblNote = new QLabel(this);
    place(lblNote, "lblNote", 120, 1740, 9735, 375);
    lblNote->setWordWrap(true);
    lblNote->hide();
    lstBan = new QListWidget(this);
    place(lstBan, "lstBan", margin, listTop, listWidth, listHeight);
    lstBan->setFont(QFont(QStringLiteral("Arial")));
    lstBan->setSelectionMode(QAbstractItemView::SingleSelection);
    lstBan->setAccessibleName(QStringLiteral("Ban list"));
    lbl->setBuddy(txtBan);

    // Enter in the text box must not save and close the dialog behind the user's back.
    for (QPushButton *b : {cmdAdd, cmdDel, cmdOK}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    // On a button with the focus, Enter presses it as Space does.
    ButtonKeys::enterPressesFocusedButton(this);
    setTabOrder(lstBan, cmdDel);
    setTabOrder(cmdDel, cmdAdd);
    setTabOrder(cmdAdd, txtBan);
    setTabOrder(txtBan, cmdOK);
    lstBan->setFocus();

    connect(cmdAdd, &QPushButton::clicked, this, &frmBan::cmdAdd_Click);
    connect(cmdDel, &QPushButton::clicked, this, &frmBan::cmdDel_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmBan::cmdOK_Click);

    WindowRegistry::add(this);
    Form_Load(addressText);
    makeRoomForText();
}

void frmBan::makeRoomForText()
{
    // The designed places hold their texts at the usual font. A control whose text a larger
    // font would cut takes the size it asks for, and what follows it in its row, and every
    // row below, moves on by as much as it grew: at the usual font nothing moves.
    const QList<QList<QWidget *>> rows{{lbl}, {txtBan}, {cmdAdd, cmdDel, cmdOK}, {lblNote}};
    int down = 0, right = 0;
    for (const QList<QWidget *> &row : rows) {
        int across = 0, taller = 0;
        for (QWidget *w : row) {
            QRect r = w->geometry().translated(across, down);
            QSize needed = r.size();
            if (w == lblNote) {
                // The note wraps in its width: it takes the lines its text needs.
                if (lblNote->isVisibleTo(this))
                    needed.setHeight(qMax(needed.height(), lblNote->heightForWidth(needed.width())));
            } else if (!textFits(w)) {
                needed = needed.expandedTo(w->sizeHint());
            }
            across += needed.width() - r.width();
            taller = qMax(taller, needed.height() - r.height());
            r.setSize(needed);
            w->setGeometry(r);
            right = qMax(right, r.right() + 1);
        }
        down += taller;
    }
    // The list keeps its place under the rest, with room for a few entries at any font.
    m_listTop = twips(listTop) + down;
    const int entries = 8 * (lstBan->fontMetrics().height() + 2) + 2 * lstBan->frameWidth();
    const QSize size(qMax(twips(margin + listWidth + margin), right + twips(margin)),
                     m_listTop + qMax(twips(listHeight), entries) + twips(margin));
    setMinimumSize(size);
    resize(size);
    placeList();
}

void frmBan::placeList()
{
    lstBan->setGeometry(twips(margin), m_listTop, qMax(1, width() - 2 * twips(margin)),
                        qMax(1, height() - m_listTop - twips(margin)));
}

bool frmBan::textFits(QWidget *w)
{
    const QFontMetrics fm = w->fontMetrics();
    int textWidth = 0, frame = 0;
    if (auto *label = qobject_cast<QLabel *>(w)) {
        textWidth = fm.horizontalAdvance(label->text());
    } else if (auto *button = qobject_cast<QPushButton *>(w)) {
        frame = 2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
        textWidth = fm.horizontalAdvance(QString(button->text()).remove(QLatin1Char('&')))
            + w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
    } else {
        // A text box scrolls its text sideways: only a line's height must fit.
        frame = 2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
    }
    return fm.height() + frame <= w->height() && textWidth + frame <= w->width();
}

void frmBan::showModal(QWidget *parent, const QString &addressText)
{
    frmBan dialog(addressText, parent);
    dialog.exec();
}

int frmBan::twips(int value) const { return qRound(value * logicalDpiX() / 1440.0); }

void frmBan::Form_Load(const QString &addressText)
{
    bool ok = true, partial = false;
    QString error;
    m_loaded = ReadBanList(&ok, &error, &partial);
    lstBan->addItems(m_loaded);
    txtBan->setText(addressText);
    // Saving the list shown would replace what could not be read with less.
    if (!ok)
        m_keepFile = QStringLiteral("The ban list could not be read (%1), so it is shown empty and will not be "
                                    "replaced.").arg(error);
    else if (partial)
        m_keepFile = QStringLiteral("The ban list is longer than %1 entries or %2 MB: only its first %3 entries "
                                    "are shown, and it will not be replaced.")
                         .arg(MaxBanListEntries).arg(MaxBanListBytes / (1024 * 1024)).arg(lstBan->count());
    lblNote->setText(m_keepFile);
    lblNote->setVisible(!m_keepFile.isEmpty());
}

void frmBan::cmdAdd_Click()
{
    const QString text = txtBan->text();
    if (text.isEmpty())
        return;
    lstBan->addItem(text);
}

void frmBan::cmdDel_Click()
{
    const QList<QListWidgetItem *> selected = lstBan->selectedItems();
    if (!selected.isEmpty())
        delete lstBan->takeItem(lstBan->row(selected.first()));
    lstBan->setFocus();
    if (lstBan->count() > 0)
        lstBan->setCurrentRow(0);
}

void frmBan::cmdOK_Click()
{
    if (!m_keepFile.isEmpty()) {
        Dialogs::tell(this, QString(), QStringLiteral("The ban list was not saved.\n\n%1 Your changes are "
                                                      "still in the dialog.").arg(m_keepFile),
                      QMessageBox::Warning);
        return;
    }
    QStringList entries;
    entries.reserve(lstBan->count());
    for (int i = 0; i < lstBan->count(); ++i)
        entries << lstBan->item(i)->text();
    // Nothing changed: the file keeps its bytes, whatever their layout.
    if (entries == m_loaded) {
        accept();
        return;
    }
    // The file may have changed since loading (an editor, a second copy of the program):
    // the lines it gained are kept after the list shown; the ones deleted here stay gone.
    bool ok = true, partial = false;
    QString error;
    const QStringList onDisk = ReadBanList(&ok, &error, &partial);
    if (!ok || partial) {
        Dialogs::tell(this, QString(), QStringLiteral("The ban list was not saved: it changed on disk and can no "
                                                      "longer be read whole.\n\n%1").arg(error),
                      QMessageBox::Warning);
        return;
    }
    entries += addedSince(m_loaded, onDisk, entries);
    if (!WriteBanList(entries, &error)) {
        // Keep the dialog and its edits so the user can try again or copy them away.
        Dialogs::tell(this, QString(), QStringLiteral("The ban list could not be saved.\n\n%1").arg(error),
                      QMessageBox::Warning);
        return;
    }
    accept();
}

void frmBan::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    // A larger dialog gives the list the room; the controls above keep their places.
    placeList();
}

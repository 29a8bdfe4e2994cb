#include "browser/addressbar.h"

#include "core/browsercontrol.h"
#include "core/shortcutfile.h"
#include "browser/form1.h"
#include "browser/windowmanager.h"
#include "platform/internetsettings.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

namespace {
// The address a drop brings: its first URL (a link, a file), else its text.
QString droppedAddress(const QMimeData *mime)
{
    if (!mime)
        return QString();
    for (const QUrl &url : mime->urls()) {
        if (!url.isEmpty())
            return url.toString();
    }
    return mime->hasText() ? mime->text().trimmed() : QString();
}

// A copy, never a move: the file or text dragged here stays where it came from.
void acceptAsCopy(QDropEvent *event)
{
    const Qt::DropActions offered = event->possibleActions();
    event->setDropAction(offered & Qt::CopyAction   ? Qt::CopyAction
                             : offered & Qt::LinkAction ? Qt::LinkAction
                                                        : event->proposedAction());
    event->accept();
}
}

AddressBar::AddressBar(WindowManager *windows, QComboBox *combo, QObject *parent)
    : QObject(parent), m_windows(windows), m_combo(combo)
{
    // Only what the user types is completed: an address a window shows is shown exactly,
    // or the bar would name another page than the one in the window.
    connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_userEdited = true;
        cboAddress_Change();
    });
    connect(combo, qOverload<int>(&QComboBox::activated), this, &AddressBar::cboAddress_Click);
    // The combo box keeps the focus and hands keys to its line edit directly, so a
    // real key press is seen on the combo box; a key sent to the line edit itself on it.
    combo->installEventFilter(this);
    combo->lineEdit()->installEventFilter(this);
    // The list's own completer would fight ours.
    combo->setCompleter(nullptr);
}

void AddressBar::GetHist()
{
    const QStringList history = InternetSettings::typedUrls();
    const QString text = m_combo->currentText();
    for (const QString &url : history)
        m_combo->addItem(url);
    m_combo->setEditText(text); // filling the list leaves the text as it was
}

void AddressBar::clearHist()
{
    const QString text = m_combo->currentText();
    m_combo->clear();
    m_combo->setEditText(text);
}

void AddressBar::cboAddress_Change()
{
    if (m_deleting) {
        // Completing after Backspace would put back what was just removed.
        m_deleting = false;
        return;
    }
    QLineEdit *edit = m_combo->lineEdit();
    const QString typed = edit->text();
    if (typed.isEmpty())
        return;
    for (int i = 0; i < m_combo->count(); ++i) {
        const QString entry = m_combo->itemText(i);
        if (!entry.startsWith(typed, Qt::CaseInsensitive))
            continue;
        if (entry.size() > typed.size()) {
            edit->setText(typed + entry.mid(typed.size()));
            edit->setSelection(typed.size(), entry.size() - typed.size());
        }
        return;
    }
}

void AddressBar::cboAddress_Enter()
{
    const QString typed = m_combo->currentText();
    QString address = addressFor(typed, InternetSettings::searchAddress());
    const bool isAddress = address == BrowserControl::cleanAddress(typed);
    if (isAddress)
        address = ShortcutFile::addressToOpen(address);
    m_userEdited = false;
    // The window that was active keeps its page visible; the new window takes the next number.
    if (ChildWindow *before = m_windows->activeChild())
        before->Web1->setVisible(true);
    m_windows->openNumbered(m_windows->newBrowserWindow());
    if (ChildWindow *active = m_windows->activeChild()) {
        active->Web1->Navigate(address);
        active->Web1->setVisible(true);
    }
    // The new window has no address of its own until its page arrives: the bar keeps what
    // is loading. A password typed with it served the load and is neither shown nor kept.
    const QString shown = BrowserControl::withoutPassword(address);
    m_combo->setEditText(shown);
    // Remembered for the next start's list, as the desktop's browsers do; this list stays as it is.
    if (isAddress)
        InternetSettings::recordTypedUrl(shown);
}

void AddressBar::cboAddress_Click(int index)
{
    if (index < 0)
        return;
    const QString address = m_combo->itemText(index);
    m_userEdited = false;
    if (ChildWindow *active = m_windows->activeChild())
        active->Web1->Navigate(address);
    m_combo->addItem(address);
}

void AddressBar::takeDrop(const QString &address)
{
    // Ready for Enter as a typed address is, and kept from a page that completes meanwhile.
    m_combo->setEditText(address);
    m_userEdited = true;
    m_combo->activateWindow();
    m_combo->setFocus(Qt::OtherFocusReason);
    m_combo->lineEdit()->end(false);
}

bool AddressBar::beingEdited() const
{
    QWidget *focus = QApplication::focusWidget();
    return m_userEdited && focus && (focus == m_combo || focus == m_combo->lineEdit());
}

bool AddressBar::cancelEdit()
{
    if (!beingEdited())
        return false;
    m_userEdited = false;
    ChildWindow *active = m_windows->activeChild();
    m_combo->setEditText(active ? active->Web1->LocationURL() : QStringLiteral("http://"));
    m_combo->lineEdit()->selectAll();
    return true;
}

void AddressBar::focusAndSelect()
{
    m_combo->setFocus(Qt::ShortcutFocusReason);
    m_combo->lineEdit()->selectAll();
}

bool AddressBar::looksLikeAddress(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return true;
    static const QRegularExpression knownScheme(
        QStringLiteral("^(https?|ftp|file|about|data|view-source|chrome|qrc|blob|mailto):"),
        QRegularExpression::CaseInsensitiveOption);
    if (knownScheme.match(text).hasMatch() || text.contains(QLatin1String("://")))
        return true;
    if (text.startsWith(QLatin1Char('/')) || text.startsWith(QLatin1Char('~')))
        return true; // a local file
    if (text.contains(QRegularExpression(QStringLiteral("\\s"))))
        return false;
    const QString host = text.section(QLatin1Char('/'), 0, 0);
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    return host.contains(QLatin1Char('.')) || host.contains(QLatin1Char(':'));
}

QString AddressBar::addressFor(const QString &typed, const QString &searchTemplate)
{
    // A scheme with no place after it (the bar's first text, "http://") names nothing
    // the engine would load: a blank page, as for no text at all.
    const QString text = BrowserControl::cleanAddress(typed);
    const QUrl url(text);
    if (url.isValid() && url.host().isEmpty()
        && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")
            || url.scheme() == QLatin1String("ftp")))
        return QString();
    if (looksLikeAddress(text) || !searchTemplate.contains(QLatin1String("%s")))
        return text;
    // Words broken over lines are still words apart.
    static const QRegularExpression lineBreaks(QStringLiteral("[\\t\\r\\n]+"));
    const QString words = QString(typed).replace(lineBreaks, QStringLiteral(" ")).trimmed();
    QString address = searchTemplate;
    address.replace(QLatin1String("%s"), QString::fromLatin1(QUrl::toPercentEncoding(words)));
    return address;
}

bool AddressBar::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Before the combo box's own handling, which would take an equal list entry as "chosen".
            cboAddress_Enter();
            return true;
        }
        m_deleting = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete
            || key->matches(QKeySequence::Cut) || key->matches(QKeySequence::DeleteStartOfWord)
            || key->matches(QKeySequence::DeleteEndOfWord) || key->matches(QKeySequence::DeleteEndOfLine);
        break;
    }
    case QEvent::KeyRelease:
        m_deleting = false;
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // The line edit would insert the drop's text where the mouse is, into the address.
        // Text dragged within the bar itself is still moved as the line edit does it.
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (watched != m_combo->lineEdit() || drag->source() == watched)
            break;
        if (droppedAddress(drag->mimeData()).isEmpty())
            drag->ignore();
        else
            acceptAsCopy(drag);
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (watched != m_combo->lineEdit() || drop->source() == watched)
            break;
        const QString address = droppedAddress(drop->mimeData());
        if (address.isEmpty()) {
            drop->ignore();
            return true;
        }
        acceptAsCopy(drop);
        takeDrop(address);
        return true;
    }
    case QEvent::FocusOut:
        if (watched == m_combo && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            m_userEdited = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

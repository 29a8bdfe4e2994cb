#include "personal/form3.h"

#include "core/windowregistry.h"
#include "personal/personaldetails.h"
#include "platform/buttonkeys.h"
#include "platform/dialogs.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPointer<Form3> &current()
{
    static QPointer<Form3> form;
    return form;
}

const char explanation[] =
    "Use this form to quickly fill out registration forms on Web sites that ask you to provide your "
    "details. Simply enter your details here once. When you're surfing select the 'Show / Hide Personal "
    "Details\" menu from the 'Toolbars' menu to send your details. This saves you valuable time online.";
}

Form3::Form3(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("My Personal Details"));

    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Personal Details"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto *text = new QLabel(QString::fromUtf8(explanation), this);
    text->setObjectName(QStringLiteral("Label2"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(text);

    auto *form = new QFormLayout;
    for (const PersonalDetails::Field &field : PersonalDetails::fields) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(field.box));
        auto *label = new QLabel(QLatin1String(field.label), this);
        label->setObjectName(QStringLiteral("lbl") + QLatin1String(field.box));
        label->setBuddy(edit);
        form->addRow(label, edit);
        m_boxes << edit;
    }
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_save = new QPushButton(QStringLiteral("&Save"), this);
    m_save->setObjectName(QStringLiteral("Command10"));
    m_close = new QPushButton(QStringLiteral("&Close"), this);
    m_close->setObjectName(QStringLiteral("Command11"));
    // Enter in a box must not save by surprise: no default button. On a button it presses it.
    m_save->setAutoDefault(false);
    m_close->setAutoDefault(false);
    ButtonKeys::enterPressesFocusedButton(this);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);

    for (int i = 1; i < m_boxes.size(); ++i)
        setTabOrder(m_boxes[i - 1], m_boxes[i]);
    setTabOrder(m_boxes.last(), m_save);
    setTabOrder(m_save, m_close);

    connect(m_save, &QPushButton::clicked, this, &Form3::Command10_Click);
    connect(m_close, &QPushButton::clicked, this, &Form3::Command11_Click);

    loadFromStore();
    WindowRegistry::add(this);
}

Form3::~Form3() = default;

Form3 *Form3::instance(QWidget *parent)
{
    if (!current())
        current() = new Form3(parent);
    return current();
}

Form3 *Form3::existing() { return current(); }

Form3 *Form3::withStoredValues(QWidget *parent)
{
    Form3 *form = instance(parent);
    // A hidden instance holds what the store had when it was made; another copy of
    // the programme, or an edit of the file, may have changed that since.
    if (!form->isVisible())
        form->loadFromStore();
    return form;
}

Form3 *Form3::personal(QWidget *frame)
{
    Form3 *form = withStoredValues(frame);
    // Modal without a nested event loop: the caller returns at once.
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
    form->raise();
    form->activateWindow();
    form->m_boxes.first()->setFocus();
    return form;
}

QString Form3::value(int i) const
{
    return i >= 0 && i < m_boxes.size() ? m_boxes[i]->text() : QString();
}

QLineEdit *Form3::box(int i) const { return i >= 0 && i < m_boxes.size() ? m_boxes[i] : nullptr; }

void Form3::loadFromStore()
{
    m_loaded = PersonalDetails::readAll();
    for (int i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setText(m_loaded.value(i));
}

void Form3::Command10_Click()
{
    QString firstError;
    for (int i = 0; i < m_boxes.size(); ++i) {
        QString error;
        const QString text = m_boxes[i]->text();
        // Only the boxes the user changed are written: a value another running copy
        // saved while this dialog was open stays. An untouched box still leaves its
        // key present, as an empty value, when the store has none.
        const bool edited = text != m_loaded.value(i);
        const bool ok = edited ? PersonalDetails::write(i, text, &error)
                               : PersonalDetails::writeIfAbsent(i, text, &error);
        if (ok)
            m_loaded[i] = text;
        else if (firstError.isEmpty())
            firstError = error.isEmpty() ? QStringLiteral("The settings store refused the value.") : error;
    }
    if (!firstError.isEmpty()) {
        // The edits are still in the boxes: the user can mend the cause and save again.
        Dialogs::tell(this, QString(),
                      QStringLiteral("Your personal details could not be saved.\n\n") + firstError,
                      QMessageBox::Warning);
        return;
    }
    drop();
}

void Form3::Command11_Click() { drop(); }

void Form3::drop()
{
    if (m_dropping)
        return;
    m_dropping = true;
    if (current() == this)
        current() = nullptr;
    hide();
    deleteLater();
}

void Form3::closeEvent(QCloseEvent *event)
{
    event->accept();
    drop();
}

void Form3::reject() { drop(); }

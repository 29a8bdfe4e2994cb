#include "platform/tabstrip.h"

#include <QButtonGroup>
#include <QIcon>
#include <QPixmap>
#include <QResizeEvent>
#include <QToolButton>

namespace {
constexpr int minTabWidth = 28;
constexpr int spacing = 2;

QIcon blankIcon(const QSize &size)
{
    QPixmap blank(size);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}
}

TabStrip::TabStrip(QWidget *parent) : QWidget(parent), m_group(new QButtonGroup(this))
{
    m_group->setExclusive(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    connect(m_group, &QButtonGroup::buttonClicked, this, [this](QAbstractButton *b) {
        const int index = m_tabs.indexOf(static_cast<QToolButton *>(b)) + 1;
        if (index > 0)
            Q_EMIT tabClicked(index);
    });
}

bool TabStrip::insertTab(int index, const QString &caption)
{
    if (index < 1 || index > m_tabs.size() + 1)
        return false;
    auto *tab = new QToolButton(this);
    tab->setCheckable(true);
    tab->setAutoRaise(false);
    tab->setText(caption);
    tab->setMinimumWidth(minTabWidth);
    tab->setFocusPolicy(Qt::NoFocus);
    // No taller than the caption: an icon must not make a row of tabs higher.
    const int side = qMax(8, tab->fontMetrics().height() - 4);
    tab->setIconSize(QSize(side, side));
    // Every tab keeps room for an icon, so that loading never moves the tabs about.
    tab->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tab->setIcon(blankIcon(tab->iconSize()));
    m_group->addButton(tab);
    m_tabs.insert(index - 1, tab);
    tab->show();
    relayout();
    return true;
}

bool TabStrip::removeTab(int index)
{
    if (index < 1 || index > m_tabs.size())
        return false;
    QToolButton *tab = m_tabs.takeAt(index - 1);
    m_group->removeButton(tab);
    delete tab;
    relayout();
    return true;
}

bool TabStrip::setCaption(int index, const QString &caption)
{
    if (index < 1 || index > m_tabs.size())
        return false;
    // "&" would read as an access key on a button; a tab shows its text as it is.
    QString shown = caption;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    m_tabs[index - 1]->setText(shown);
    m_tabs[index - 1]->setProperty("caption", caption);
    relayout();
    return true;
}

bool TabStrip::setToolTip(int index, const QString &tip)
{
    if (index < 1 || index > m_tabs.size())
        return false;
    m_tabs[index - 1]->setToolTip(tip);
    return true;
}

QString TabStrip::caption(int index) const
{
    if (index < 1 || index > m_tabs.size())
        return QString();
    const QVariant stored = m_tabs[index - 1]->property("caption");
    return stored.isValid() ? stored.toString() : m_tabs[index - 1]->text();
}

bool TabStrip::setIcon(int index, const QIcon &icon)
{
    if (index < 1 || index > m_tabs.size())
        return false;
    QToolButton *tab = m_tabs[index - 1];
    tab->setIcon(icon.isNull() ? blankIcon(tab->iconSize()) : icon);
    tab->setProperty("hasIcon", !icon.isNull());
    tab->update();
    return true;
}

QIcon TabStrip::icon(int index) const
{
    if (index < 1 || index > m_tabs.size() || !m_tabs[index - 1]->property("hasIcon").toBool())
        return QIcon();
    return m_tabs[index - 1]->icon();
}

QString TabStrip::toolTip(int index) const
{
    return index >= 1 && index <= m_tabs.size() ? m_tabs[index - 1]->toolTip() : QString();
}

int TabStrip::selectedIndex() const
{
    for (int i = 0; i < m_tabs.size(); ++i)
        if (m_tabs[i]->isChecked())
            return i + 1;
    return 0;
}

void TabStrip::select(int index)
{
    if (index >= 1 && index <= m_tabs.size())
        m_tabs[index - 1]->setChecked(true);
}

void TabStrip::click(int index)
{
    if (index >= 1 && index <= m_tabs.size())
        m_tabs[index - 1]->click();
}

QToolButton *TabStrip::button(int index) const
{
    return index >= 1 && index <= m_tabs.size() ? m_tabs[index - 1] : nullptr;
}

int TabStrip::layoutTabs(int width, bool apply) const
{
    int x = 0, y = 0, rowHeight = 0;
    for (QToolButton *tab : m_tabs) {
        const QSize size = tab->sizeHint().expandedTo(QSize(minTabWidth, 0));
        if (x > 0 && x + size.width() > width) {
            x = 0;
            y += rowHeight + spacing;
            rowHeight = 0;
        }
        if (apply)
            tab->setGeometry(x, y, size.width(), size.height());
        x += size.width() + spacing;
        rowHeight = qMax(rowHeight, size.height());
    }
    return y + rowHeight;
}

int TabStrip::heightForWidth(int width) const { return qMax(layoutTabs(width, false), 20); }

QSize TabStrip::sizeHint() const { return QSize(400, heightForWidth(width() > 0 ? width() : 400)); }

QSize TabStrip::minimumSizeHint() const { return QSize(minTabWidth, heightForWidth(width() > 0 ? width() : 400)); }

void TabStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutTabs(event->size().width(), true);
    const int needed = heightForWidth(event->size().width());
    if (needed != event->size().height())
        updateGeometry();
    if (needed > event->size().height())
        Q_EMIT rowsOverflow();
}

void TabStrip::relayout()
{
    layoutTabs(width(), true);
    updateGeometry();
}

#include "platform/tabstrip.h"

#include "platform/tabbutton.h"

#include <QButtonGroup>
#include <QEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace {
constexpr int spareTabWidth = 28;
constexpr int spacing = 2;
}

TabStrip::TabStrip(QWidget *parent)
    : QWidget(parent), m_group(new QButtonGroup(this)), m_bar(new QScrollBar(Qt::Vertical, this))
{
    TabButton::installAccessibility();
    m_group->setExclusive(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_bar->setObjectName(QStringLiteral("tabRowsBar"));
    m_bar->hide();
    connect(m_bar, &QScrollBar::valueChanged, this, [this] { layoutTabs(tabsWidth(width(), height()), true); });
    connect(m_group, &QButtonGroup::buttonClicked, this, [this](QAbstractButton *b) {
        const int index = m_tabs.indexOf(static_cast<QToolButton *>(b)) + 1;
        if (index > 0)
            Q_EMIT tabClicked(index);
    });
}

int TabStrip::captionedTabWidth() const
{
    // About fourteen characters and an icon: short enough for many tabs to a row,
    // long enough to tell the pages apart.
    const QFontMetrics fm(font());
    return qBound(100, fm.averageCharWidth() * 14 + 36, 200);
}

bool TabStrip::insertTab(int index, const QString &caption)
{
    if (index < 1 || index > m_tabs.size() + 1)
        return false;
    auto *tab = new TabButton(this);
    tab->setTabWidth(captionedTabWidth(), spareTabWidth);
    tab->setCaption(caption);
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
    auto *tab = static_cast<TabButton *>(m_tabs[index - 1]);
    const bool wasEmpty = tab->caption().isEmpty();
    tab->setCaption(caption);
    // Only a tab that gains or loses its caption changes width; a new title moves nothing.
    if (wasEmpty != caption.isEmpty())
        relayout();
    return true;
}

bool TabStrip::setToolTip(int index, const QString &tip)
{
    if (index < 1 || index > m_tabs.size())
        return false;
    static_cast<TabButton *>(m_tabs[index - 1])->setTip(tip);
    return true;
}

bool TabStrip::setIcon(int index, const QIcon &icon)
{
    if (index < 1 || index > m_tabs.size())
        return false;
    const bool hadIcon = !m_tabs[index - 1]->icon().isNull();
    m_tabs[index - 1]->setIcon(icon);
    if (hadIcon != !icon.isNull())
        relayout();
    return true;
}

QString TabStrip::caption(int index) const
{
    if (index < 1 || index > m_tabs.size())
        return QString();
    return static_cast<TabButton *>(m_tabs[index - 1])->caption();
}

QString TabStrip::toolTip(int index) const
{
    return index >= 1 && index <= m_tabs.size() ? static_cast<TabButton *>(m_tabs[index - 1])->tip() : QString();
}

QIcon TabStrip::icon(int index) const
{
    return index >= 1 && index <= m_tabs.size() ? m_tabs[index - 1]->icon() : QIcon();
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
    if (index < 1 || index > m_tabs.size())
        return;
    m_tabs[index - 1]->setChecked(true);
    ensureVisible(index);
}

void TabStrip::ensureVisible(int index)
{
    if (index < 1 || index > m_tabs.size() || m_bar->isHidden())
        return;
    const QRect tab = m_tabs[index - 1]->geometry();
    if (tab.top() < 0)
        m_bar->setValue(m_bar->value() + tab.top());
    else if (tab.bottom() >= height())
        m_bar->setValue(m_bar->value() + tab.bottom() + 1 - height());
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
    // Captioned tabs share out the row's width, which depends on the strip alone: a
    // full row reaches the right edge, and no caption ever changes a tab's width.
    const int base = captionedTabWidth();
    const int perRow = qMax(1, (width + spacing) / (base + spacing));
    const int captioned = qMax(base, (width - (perRow - 1) * spacing) / perRow);
    int x = 0, y = 0, rowHeight = 0;
    for (QToolButton *tab : m_tabs) {
        QSize size = tab->sizeHint();
        if (size.width() > spareTabWidth)
            size.setWidth(captioned);
        if (x > 0 && x + size.width() > width) {
            x = 0;
            y += rowHeight + spacing;
            rowHeight = 0;
        }
        if (apply)
            tab->setGeometry(x, y - m_bar->value(), size.width(), size.height());
        x += size.width() + spacing;
        rowHeight = qMax(rowHeight, size.height());
    }
    return y + rowHeight;
}

int TabStrip::rowsHeight(int width) const { return qMax(layoutTabs(width, false), 20); }

int TabStrip::rowHeight() const
{
    int row = 0;
    for (QToolButton *tab : m_tabs)
        row = qMax(row, tab->sizeHint().height());
    return row > 0 ? row : 20;
}

int TabStrip::tabsWidth(int width, int height) const
{
    return rowsHeight(width) > height ? qMax(1, width - m_bar->sizeHint().width()) : width;
}

QSize TabStrip::sizeHint() const { return QSize(400, rowHeight()); }

QSize TabStrip::minimumSizeHint() const { return QSize(spareTabWidth, rowHeight()); }

void TabStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
    ensureVisible(selectedIndex());
}

void TabStrip::wheelEvent(QWheelEvent *event)
{
    if (m_bar->isHidden()) {
        event->ignore();
        return;
    }
    // A notch of the wheel is a row, whatever the desktop's lines per notch.
    m_wheelDelta += event->angleDelta().y();
    const int rows = m_wheelDelta / 120;
    m_wheelDelta -= rows * 120;
    m_bar->setValue(m_bar->value() - rows * m_bar->singleStep());
    event->accept();
}

void TabStrip::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        for (QToolButton *tab : m_tabs)
            static_cast<TabButton *>(tab)->setTabWidth(captionedTabWidth(), spareTabWidth);
        relayout();
    }
}

void TabStrip::relayout()
{
    const int width = tabsWidth(this->width(), height());
    const int needed = layoutTabs(width, false);
    const bool scrolls = needed > height();
    const int barWidth = m_bar->sizeHint().width();
    m_bar->setGeometry(this->width() - barWidth, 0, barWidth, height());
    const int row = rowHeight();
    m_bar->setSingleStep(row + spacing);
    m_bar->setPageStep(qMax(1, height()));
    m_bar->setRange(0, qMax(0, needed - height()));
    m_bar->setVisible(scrolls);
    m_bar->raise();
    layoutTabs(width, true);
    // Only rows that were not there before ask for more room: a band made smaller on
    // purpose stays so, and its further rows are scrolled to.
    const bool grew = needed > m_rowsHeight;
    m_rowsHeight = needed;
    if (row != m_hintedRow) {
        m_hintedRow = row;
        updateGeometry();
    }
    if (grew && scrolls)
        Q_EMIT rowsOverflow();
}

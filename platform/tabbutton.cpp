#include "platform/tabbutton.h"

#include "platform/tabstrip.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionToolButton>
#include <QTextDocument>

namespace {
constexpr int Padding = 6;
constexpr int IconSize = 16;

class TabAccessible : public QAccessibleWidget
{
public:
    explicit TabAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::PageTab) {}
    TabButton *tab() const { return static_cast<TabButton *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            // A tab with no caption is spare: a click on it opens a new window in its place.
            return tab()->caption().isEmpty() ? QStringLiteral("New window") : tab()->caption();
        case QAccessible::Description:
            return tab()->tip();
        default:
            return QAccessibleWidget::text(t);
        }
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = false;
        s.checked = false;
        s.selectable = true;
        s.selected = tab()->isChecked();
        return s;
    }
    QStringList actionNames() const override { return QStringList(pressAction()) << QAccessibleWidget::actionNames(); }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            tab()->click();
        else
            QAccessibleWidget::doAction(name);
    }
};

// The strip's children for assistive technology: its tabs in their order, and the scroll
// bar only while there are rows to scroll to.
class StripAccessible : public QAccessibleWidget
{
public:
    explicit StripAccessible(TabStrip *strip) : QAccessibleWidget(strip, QAccessible::PageTabList) {}

    int childCount() const override { return children().size(); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> list = children();
        return index >= 0 && index < list.size() ? QAccessible::queryAccessibleInterface(list[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() && child->object()->isWidgetType()
            ? children().indexOf(static_cast<QWidget *>(child->object()))
            : -1;
    }

private:
    QList<QWidget *> children() const
    {
        auto *strip = static_cast<TabStrip *>(widget());
        QList<QWidget *> list;
        for (int i = 1; i <= strip->count(); ++i)
            list.append(strip->button(i));
        if (strip->verticalScrollBar()->isVisible())
            list.append(strip->verticalScrollBar());
        return list;
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *w = static_cast<QWidget *>(object);
    if (className == QLatin1String("TabButton"))
        return new TabAccessible(w);
    if (className == QLatin1String("TabStrip"))
        return new StripAccessible(static_cast<TabStrip *>(w));
    return nullptr;
}
}

TabButton::TabButton(QWidget *parent) : QToolButton(parent)
{
    setCheckable(true);
    setAutoRaise(false);
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(IconSize, IconSize));
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
        if (on)
            raise();
        update();
    });
}

void TabButton::installAccessibility()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(accessibleFactory);
        installed = true;
    }
}

void TabButton::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    const bool widthChanges = caption.isEmpty() != m_caption.isEmpty();
    m_caption = caption;
    // The button's own text stays empty: "&" in a title must not become an access key.
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
    if (widthChanges)
        updateGeometry();
    update();
}

void TabButton::setTip(const QString &tip)
{
    m_tip = tip;
    // A tooltip that looks like markup is drawn as markup (a page's title could show
    // local pictures): hand Qt the text escaped, so that it shows exactly as written.
    setToolTip(tip.isEmpty() ? QString() : Qt::convertFromPlainText(tip, Qt::WhiteSpaceNormal));
}

void TabButton::setTabWidth(int captioned, int spare)
{
    m_captionedWidth = captioned;
    m_spareWidth = spare;
}

QSize TabButton::sizeHint() const
{
    const int height = qMax(fontMetrics().height() + 10, IconSize + 8);
    const bool wide = !m_caption.isEmpty() || !icon().isNull();
    return QSize(wide ? m_captionedWidth : m_spareWidth, height);
}

void TabButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QToolButton::enterEvent(event);
}

void TabButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QToolButton::leaveEvent(event);
}

void TabButton::mousePressEvent(QMouseEvent *event)
{
    setUpdatesEnabled(false);
    QToolButton::mousePressEvent(event);
    setUpdatesEnabled(true); // schedules the paint that was held back
}

void TabButton::mouseReleaseEvent(QMouseEvent *event)
{
    // The click runs in here: the window it shows is drawn with the tab, once.
    QPointer<TabButton> self(this);
    setUpdatesEnabled(false);
    QToolButton::mouseReleaseEvent(event);
    if (self)
        setUpdatesEnabled(true);
}

void TabButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool selected = isChecked();
    const QPalette pal = palette();
    // The selected tab stands out of the row: full height, the page colour, a coloured top edge.
    const QRectF r = QRectF(rect()).adjusted(0.5, selected ? 0.5 : 3.5, -0.5, 0.5);
    QPainterPath shape;
    const qreal radius = 5;
    shape.moveTo(r.bottomLeft());
    shape.lineTo(r.left(), r.top() + radius);
    shape.quadTo(r.topLeft(), QPointF(r.left() + radius, r.top()));
    shape.lineTo(r.right() - radius, r.top());
    shape.quadTo(r.topRight(), QPointF(r.right(), r.top() + radius));
    shape.lineTo(r.bottomRight());
    QColor fill = selected ? pal.color(QPalette::Base) : pal.color(QPalette::Button).darker(108);
    if (!selected && m_hovered)
        fill = pal.color(QPalette::Button).lighter(104);
    p.fillPath(shape, fill);
    p.setPen(QPen(pal.color(QPalette::Mid), 1));
    p.drawPath(shape);
    if (selected) {
        p.setPen(QPen(pal.color(QPalette::Highlight), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(r.left() + radius, r.top() + 1.5), QPointF(r.right() - radius, r.top() + 1.5));
    }

    int x = Padding;
    const int centreY = int(r.center().y());
    if (!icon().isNull()) {
        icon().paint(&p, QRect(x, centreY - IconSize / 2, IconSize, IconSize));
        x += IconSize + 4;
    }
    QFont f = font();
    f.setBold(selected);
    p.setFont(f);
    const QFontMetrics fm(f);
    const int room = width() - x - Padding;
    if (room > 0 && !m_caption.isEmpty()) {
        p.setPen(pal.color(selected ? QPalette::Text : QPalette::ButtonText));
        const QString shown = fm.elidedText(m_caption, Qt::ElideRight, room);
        p.drawText(QRect(x, int(r.top()), room, int(r.height())), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                   shown);
    }
}

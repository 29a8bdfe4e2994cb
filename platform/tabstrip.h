#pragma once
#include <QIcon>
#include <QList>
#include <QString>
#include <QWidget>

class QToolButton;
class QButtonGroup;
class QScrollBar;

// A tab strip whose tabs wrap into further rows, indexed from 1 like the
// frame's window numbers. A tab is a caption, a tooltip and an optional icon.
// Every tab with a caption has the same width, so a caption that changes never
// moves a tab to another row; a tab without one (a spare tab) is narrow. Rows the
// strip's height does not hold are reached by scrolling it.
class TabStrip : public QWidget
{
    Q_OBJECT
public:
    explicit TabStrip(QWidget *parent = nullptr);

    int count() const { return m_tabs.size(); }
    // Inserts before the tab at index (1..count+1); false when out of range.
    bool insertTab(int index, const QString &caption);
    bool removeTab(int index);
    bool setCaption(int index, const QString &caption);
    bool setToolTip(int index, const QString &tip);
    // The picture shown before the caption (a null icon shows none).
    bool setIcon(int index, const QIcon &icon);
    QString caption(int index) const;
    QString toolTip(int index) const;
    QIcon icon(int index) const;
    int selectedIndex() const;
    // Selects the tab and scrolls its row into view.
    void select(int index);
    // Clicks a tab as the user would (selects it, then tabClicked).
    void click(int index);
    QToolButton *button(int index) const;

    // The width of a tab with a caption, from the strip's font.
    int captionedTabWidth() const;

    // The height every row of tabs takes at the given width (a scroll bar's width included).
    int rowsHeight(int width) const;
    // The height of one row of tabs.
    int rowHeight() const;
    void ensureVisible(int index);
    QScrollBar *verticalScrollBar() const { return m_bar; }

    // One row: however many rows there are, the strip never asks for more room than
    // that; the band it stands in decides how many rows show.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void tabClicked(int index);
    // The tabs came to need more rows than the strip's height holds.
    void rowsOverflow();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // The width the tabs have: all of it, or less a scroll bar when they need more rows than show.
    int tabsWidth(int width, int height) const;
    int layoutTabs(int width, bool apply) const;
    void relayout();

    QList<QToolButton *> m_tabs;
    QButtonGroup *m_group;
    QScrollBar *m_bar;
    int m_rowsHeight = 0;
    int m_hintedRow = 0;
    int m_wheelDelta = 0;
};

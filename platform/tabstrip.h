#pragma once
#include <QIcon>
#include <QList>
#include <QString>
#include <QWidget>

class QToolButton;
class QButtonGroup;

// A tab strip whose tabs wrap into further rows, indexed from 1 like the
// frame's window numbers. A tab is a caption, a tooltip and an optional icon.
// Every tab with a caption has the same width, so a caption that changes never
// moves a tab to another row; a tab without one (a spare tab) is narrow.
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
    void select(int index);
    // Clicks a tab as the user would (selects it, then tabClicked).
    void click(int index);
    QToolButton *button(int index) const;

    // The width of a tab with a caption, from the strip's font.
    int captionedTabWidth() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void tabClicked(int index);
    // The tabs need more rows than the strip's height holds.
    void rowsOverflow();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int layoutTabs(int width, bool apply) const;
    void relayout();

    QList<QToolButton *> m_tabs;
    QButtonGroup *m_group;
};

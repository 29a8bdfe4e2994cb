#pragma once
#include <QToolButton>

// One tab of the strip: drawn as a tab (icon, caption cut to its width, the
// selected one raised and marked), and presented to assistive technology as a
// page tab named by its caption.
class TabButton : public QToolButton
{
    Q_OBJECT
public:
    explicit TabButton(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    // The tooltip as plain text: titles come from pages and are never taken as markup.
    QString tip() const { return m_tip; }
    void setTip(const QString &tip);
    // Set by the strip: every tab with a caption has the same width.
    void setTabWidth(int captioned, int spare);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Registers the accessibility of tabs and strips with Qt (once).
    static void installAccessibility();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    // A button paints itself at once when pressed and released, and each such paint draws
    // the frame with every page in it: a tab is painted with the frame's next update.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_caption;
    QString m_tip;
    int m_captionedWidth = 150;
    int m_spareWidth = 28;
    bool m_hovered = false;
};

#pragma once
#include <QLabel>

// A one-line label for text from outside (a page's status text, a hovered link): it
// never asks its window for more room than a few characters, and draws what does not
// fit elided at the end. text() stays the whole text.
class ElidingLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

#pragma once
#include <QPixmap>
#include <QWidget>

class QLabel;
class QTimer;

// The product picture shown while Quillon settles into the tray. Its timer starts
// when the window is made; when it fires the window closes itself and says so.
class splash : public QWidget
{
    Q_OBJECT
public:
    explicit splash(QWidget *parent = nullptr);

    static constexpr int Interval = 20000;

    QLabel *Image2 = nullptr;
    QTimer *Timer1 = nullptr;

    // The words under the name: what this start does, and where the frame will wait.
    static QString wordsText();
    static QString waitText();

Q_SIGNALS:
    // The window has closed on its timer; start-up decides what follows.
    void timedOut();

private:
    void Timer1_Timer();
    static QPixmap withWords(QPixmap picture);
};

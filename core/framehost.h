#pragma once
#include <QString>

class QWidget;

// What the parts of the programme may ask of the main frame. Each part is handed
// this when it is made; none of them knows the frame's own class.
class FrameHost
{
public:
    // Shown on screen, or hidden in the tray (minimised where there is no tray).
    enum class Status { MAX, MIN };
    static QString statusText(Status s) { return s == Status::MIN ? QStringLiteral("MIN") : QStringLiteral("MAX"); }

    virtual ~FrameHost() = default;

    // The frame's window: parent of dialogs, owner of its caption.
    virtual QWidget *frameWidget() = 0;
    virtual void setStatusText(const QString &text) = 0;
    virtual QString statusText() const = 0;
    // The caption of the popStat button.
    virtual void setPopStat(const QString &caption) = 0;
    // Sets the address bar's text as a program change (completion runs on it).
    virtual void setAddressText(const QString &text) = 0;
    virtual QString addressText() const = 0;
    // True while the user is typing in the address bar, which a page completing leaves alone.
    virtual bool addressBeingEdited() const { return false; }

    // The active window's load progress in percent; -1 when it is not loading.
    virtual void setLoadProgress(int percent) { Q_UNUSED(percent); }

    virtual Status status() const = 0;
    bool inTray() const { return status() == Status::MIN; }
    virtual void HideToTray() = 0;
};

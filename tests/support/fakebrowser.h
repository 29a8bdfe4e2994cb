#pragma once
#include "core/browsercontrol.h"

#include <QStringList>

// A scripted browser control: records what it is asked to do, and a test
// makes it raise the events a page would (complete, status text, new window).
class FakeBrowser : public BrowserControl
{
    Q_OBJECT
public:
    explicit FakeBrowser(QWidget *parent = nullptr);

    void Navigate(const QString &address) override;
    void GoHome() override;
    HResult GoBack() override;
    HResult GoForward() override;
    void GoSearch() override;
    void Refresh() override;
    void refreshWithoutResend() override;
    void Stop() override;
    HResult ExecWB(int command, int option) override;
    QString LocationName() const override { return m_title; }
    QString LocationURL() const override { return m_url; }
    void findText(const QString &text, bool backward, bool caseSensitive, FindDone done) override;
    void printToPdf(const QString &path, const QPageLayout &layout, const QPageRanges &ranges, Done done) override;
    void printTo(QPrinter *printer, Done done) override;
    void typeText(const QString &text) override { typed += text; }
    void zoom(int step) override { calls << QStringLiteral("Zoom %1").arg(step); }

    bool isLoading() const override { return m_loading; }
    int loadProgress() const override { return m_progress; }
    QIcon pageIcon() const override { return m_icon; }
    // Scripting: the engine's progress, and the page's icon arriving.
    void progress(int percent);
    void setPageIcon(const QIcon &icon);
    // Scripting: finish the current navigation with this title (raises DocumentComplete).
    void complete(const QString &title);
    // Raise a new-window request as a page would; returns the host the frame placed, if any.
    BrowserControl *requestNewWindow(bool *cancelled = nullptr);

    bool answersPrints = true; // false: a print is asked for and never answered, as a hung engine does
    QStringList calls;        // "Navigate <addr>", "GoHome", "Refresh", "refreshWithoutResend", "ExecWB 12 0", ...
    QStringList navigations;  // addresses passed to Navigate, in order
    QString typed;
    QStringList history;      // committed pages, oldest first
    int historyIndex = -1;

    // Installs this class as the control every window gets.
    static void install();

private:
    QString m_url;
    QString m_title;
    QIcon m_icon;
    bool m_loading = false;
    int m_progress = 100;
};

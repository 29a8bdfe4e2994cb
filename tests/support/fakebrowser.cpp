#include "fakebrowser.h"

FakeBrowser::FakeBrowser(QWidget *parent) : BrowserControl(parent)
{
    setObjectName(QStringLiteral("Web1"));
    setFocusPolicy(Qt::StrongFocus);
}

void FakeBrowser::install()
{
    BrowserControl::setFactory([](QWidget *parent) { return new FakeBrowser(parent); });
}

void FakeBrowser::Navigate(const QString &address)
{
    calls << QStringLiteral("Navigate ") + address;
    navigations << address;
    m_url = address;
    history = history.mid(0, historyIndex + 1);
    history << address;
    historyIndex = history.size() - 1;
    m_loading = true;
    m_progress = 0;
    m_icon = QIcon();
    Q_EMIT DownloadBegin();
}

void FakeBrowser::GoHome()
{
    calls << QStringLiteral("GoHome");
}

BrowserControl::HResult FakeBrowser::GoBack()
{
    calls << QStringLiteral("GoBack");
    if (historyIndex <= 0)
        return E_FAIL;
    m_url = history.at(--historyIndex);
    return S_OK;
}

BrowserControl::HResult FakeBrowser::GoForward()
{
    calls << QStringLiteral("GoForward");
    if (historyIndex + 1 >= history.size())
        return E_FAIL;
    m_url = history.at(++historyIndex);
    return S_OK;
}

void FakeBrowser::GoSearch() { calls << QStringLiteral("GoSearch"); }
void FakeBrowser::Refresh() { calls << QStringLiteral("Refresh"); }
void FakeBrowser::refreshWithoutResend() { calls << QStringLiteral("refreshWithoutResend"); }
void FakeBrowser::Stop() { calls << QStringLiteral("Stop"); }

BrowserControl::HResult FakeBrowser::ExecWB(int command, int option)
{
    calls << QStringLiteral("ExecWB %1 %2").arg(command).arg(option);
    return S_OK;
}

void FakeBrowser::findText(const QString &text, bool backward, bool caseSensitive, FindDone done)
{
    calls << QStringLiteral("findText %1 %2 %3").arg(text).arg(backward).arg(caseSensitive);
    if (done)
        done(0, 0);
}

void FakeBrowser::printToPdf(const QString &path, const QPageLayout &, const QPageRanges &, Done done)
{
    calls << QStringLiteral("printToPdf ") + path;
    if (done && answersPrints)
        done(true);
}

void FakeBrowser::printTo(QPrinter *, Done done)
{
    calls << QStringLiteral("printTo");
    if (done)
        done(true);
}

void FakeBrowser::complete(const QString &title)
{
    m_title = title;
    m_loading = false;
    m_progress = 100;
    Q_EMIT DocumentComplete();
}

void FakeBrowser::progress(int percent)
{
    m_progress = percent;
    Q_EMIT LoadProgress(percent);
}

void FakeBrowser::setPageIcon(const QIcon &icon)
{
    m_icon = icon;
    Q_EMIT IconChanged();
}

BrowserControl *FakeBrowser::requestNewWindow(bool *cancelled)
{
    const NewWindowAnswer answer = askForNewWindow();
    if (cancelled)
        *cancelled = answer.kind == NewWindowAnswer::Refuse;
    return answer.kind == NewWindowAnswer::Host ? answer.host : nullptr;
}

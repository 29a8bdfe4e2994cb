#include "platform/downloads.h"

#include "core/filenames.h"
#include "core/paths.h"
#include "core/userpresses.h"
#include "platform/downloadswindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {
const QString partSuffix = QStringLiteral(".part");
// What the engine adds to the name it is given while it writes.
const QString engineWorkSuffix = QStringLiteral(".download");
// File systems take names of at most 255 bytes. The name is written with ".part" after
// it, to which the engine adds ".download" while it writes, and may be given " (n)"
// before its extension to keep it apart from another file.
constexpr int MaxNameBytes = 255 - 5 - 9 - 8;
constexpr int MaxKeptSuffixBytes = 16;
}

QString Downloads::Item::partPath() const { return path() + partSuffix; }

Downloads *Downloads::instance()
{
    static QPointer<Downloads> shared;
    if (!shared)
        shared = new Downloads;
    return shared;
}

Downloads::Downloads()
{
    m_clock.start();
    connect(UserPresses::instance(), &UserPresses::pressed, this, &Downloads::onPressed);
}

void Downloads::watch(QWebEngineProfile *profile)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &Downloads::onRequested);
}

Downloads::PageState &Downloads::stateOf(QWebEnginePage *page)
{
    if (page && !m_pages.contains(page)) {
        // A load that shows a page was not a file.
        connect(page, &QWebEnginePage::loadFinished, this, [this, page](bool ok) {
            if (ok)
                m_pages[page].expected.clear();
        });
        connect(page, &QObject::destroyed, this, [this, page] {
            m_askedByClosed += m_pages.take(page).asked;
            if (m_askedByClosed.size() > AskedByClosedPages)
                m_askedByClosed.remove(0, m_askedByClosed.size() - AskedByClosedPages);
        });
    }
    return m_pages[page];
}

static QString askedKey(const QUrl &url) { return url.adjusted(QUrl::RemoveFragment).toString(QUrl::FullyEncoded); }

void Downloads::noteAsked(QWebEnginePage *page, const QUrl &url)
{
    if (!page)
        return;
    QStringList &asked = stateOf(page).asked;
    const QString key = askedKey(url);
    asked.removeOne(key); // a page that reloads itself every second asks for one address
    asked.append(key);
    if (asked.size() > AskedPerPage)
        asked.removeFirst();
}

bool Downloads::pageOf(QWebEngineDownloadRequest *request, QWebEnginePage **page)
{
    // The engine gives the page the download was started in, but a page closed before the
    // site answered leaves the engine's request pointing at nothing, and asking it for the
    // page then reads through a null pointer. Where a closed page asked for the address,
    // the engine is not asked: the page is one still open that asked for it too, if any.
    const QString key = askedKey(request->url());
    const int closed = m_askedByClosed.lastIndexOf(key);
    if (closed < 0) {
        *page = request->page();
        return true;
    }
    m_askedByClosed.removeAt(closed);
    for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it)
        if (it.key() && it.value().asked.contains(key)) {
            *page = it.key();
            return true;
        }
    *page = nullptr;
    return false;
}

void Downloads::onPressed(QWidget *target)
{
    // The page's own menu ("Save link") is a child of its view as well.
    for (QWidget *w = target; w; w = w->parentWidget())
        if (auto *view = qobject_cast<QWebEngineView *>(w)) {
            stateOf(view->page()).pressed = true;
            return;
        }
}

void Downloads::expectFrom(QWebEnginePage *page, const QUrl &url)
{
    if (page)
        stateOf(page).expected = url.adjusted(QUrl::RemoveFragment);
}

bool Downloads::allowFrom(QWebEnginePage *page, const QUrl &url, bool *asked)
{
    PageState &state = stateOf(page);
    // Only the address itself: the page it shows may start other downloads while it loads.
    *asked = !state.expected.isEmpty() && state.expected == url.adjusted(QUrl::RemoveFragment);
    if (*asked) {
        state.expected.clear();
        return true;
    }
    // A press vouches for one download, not for a burst.
    if (state.pressed) {
        state.pressed = false;
        return true;
    }
    const qint64 now = m_clock.elapsed();
    while (!state.unasked.isEmpty() && now - state.unasked.first() > UnaskedWindowMs)
        state.unasked.removeFirst();
    if (state.unasked.size() >= UnaskedPerPage)
        return false;
    state.unasked.append(now);
    return true;
}

// The name as the site gives it. The engine's own name has " (1)" added when a file of that
// name is in the folder it was told about at start, which need not be today's folder.
static QString siteName(const QWebEngineDownloadRequest *request)
{
    const QString suggested = request->suggestedFileName();
    return suggested.isEmpty() ? request->downloadFileName() : suggested;
}

QString Downloads::folder() { return Paths::downloadsDir(); }

QString Downloads::safeName(const QString &suggested)
{
    // Only a file name: a page must not choose where in the file system it lands.
    QString name = QFileInfo(suggested).fileName().trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.remove(QChar(0));
    for (QChar &c : name)
        if (FileNames::unsafe(c))
            c = QLatin1Char('_');
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    if (name.isEmpty())
        name = QStringLiteral("download");
    if (name.toUtf8().size() <= MaxNameBytes)
        return name;
    // Too long: the start of the name is cut, its extension kept.
    const QString suffix = QFileInfo(name).suffix();
    const QString ending = suffix.isEmpty() || suffix.toUtf8().size() > MaxKeptSuffixBytes
        ? QString()
        : QLatin1Char('.') + suffix;
    return FileNames::leftBytes(name.left(name.size() - ending.size()), MaxNameBytes - int(ending.toUtf8().size())) + ending;
}

QString Downloads::uniqueName(const QString &folder, const QString &name, const QStringList &reserved)
{
    const QDir dir(folder);
    auto taken = [&](const QString &candidate) {
        return dir.exists(candidate) || dir.exists(candidate + partSuffix) || reserved.contains(candidate);
    };
    if (!taken(name))
        return name;
    const QFileInfo info(name);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix);
        if (!taken(candidate))
            return candidate;
    }
}

QStringList Downloads::reservedNames() const
{
    QStringList names;
    for (const Item &item : m_items)
        if (item.state == State::Running)
            names << item.name;
    return names;
}

void Downloads::onRequested(QWebEngineDownloadRequest *request)
{
    // The engine tries to resume a download cut off by the network as a new request of the
    // same id: the transfer was cut off, and that is what the user hears, not a silent retry.
    const auto known = m_byId.constFind(request->id());
    if (known != m_byId.constEnd()) {
        fail(*known, QStringLiteral("the connection was cut off"));
        request->cancel();
        return;
    }
    // Refused before it is accepted: nothing of it is written.
    QWebEnginePage *page = nullptr;
    if (!pageOf(request, &page)) {
        const QString name = safeName(siteName(request)).left(100);
        request->cancel();
        Q_EMIT statusText(QStringLiteral("%1 was not saved: its window was closed").arg(name));
        return;
    }
    bool asked = false;
    if (!allowFrom(page, request->url(), &asked)) {
        const QString name = safeName(siteName(request)).left(100);
        request->cancel();
        Q_EMIT statusText(QStringLiteral("%1 was not saved: the page started another download without a click")
                              .arg(name));
        return;
    }
    Item item;
    item.folder = folder();
    // Not there and cannot be made (a file in its place, no permission): the engine would
    // only call it cancelled.
    if (!QDir().mkpath(item.folder) || !QFileInfo(item.folder).isDir()) {
        item.name = safeName(siteName(request));
        request->cancel();
        m_items.append(item);
        Q_EMIT added(m_items.size() - 1);
        if (asked)
            Q_EMIT addressIsFile(page, m_items.size() - 1);
        fail(m_items.size() - 1, QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(item.folder)));
        return;
    }
    item.name = uniqueName(item.folder, safeName(siteName(request)), reservedNames());
    item.total = request->totalBytes();
    const int index = m_items.size();
    m_items.append(item);
    m_byId.insert(request->id(), index);
    follow(index, request);
    Q_EMIT added(index);
    if (asked)
        Q_EMIT addressIsFile(page, index);
    Q_EMIT statusText(QStringLiteral("Downloading %1...").arg(item.name));
}

void Downloads::follow(int index, QWebEngineDownloadRequest *request)
{
    Item &item = m_items[index];
    QPointer<QWebEngineDownloadRequest> guard(request);
    item.cancel = [guard] {
        if (guard)
            guard->cancel();
    };
    // Written under a temporary name: a file under its final name is always whole.
    request->setDownloadDirectory(item.folder);
    request->setDownloadFileName(item.name + partSuffix);
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this, index, guard] {
        if (!guard || m_items.at(index).state != State::Running)
            return;
        Item &it = m_items[index];
        it.received = guard->receivedBytes();
        it.total = guard->totalBytes();
        const QString size = QLocale().formattedDataSize(it.received);
        Q_EMIT statusText(it.total > 0 ? QStringLiteral("Downloading %1: %2 of %3")
                                             .arg(it.name, size, QLocale().formattedDataSize(it.total))
                                       : QStringLiteral("Downloading %1: %2").arg(it.name, size));
        Q_EMIT changed(index);
    });
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, index, guard] {
        if (guard && guard->isFinished())
            finish(index, guard);
    });
    connect(request, &QWebEngineDownloadRequest::stateChanged, this, [this, index, guard](auto state) {
        if (guard && state == QWebEngineDownloadRequest::DownloadInterrupted) {
            // Recorded first: cancelling finishes the download as cancelled, and the reason is lost.
            fail(index, guard->interruptReasonString());
            guard->cancel();
        }
    });
    request->accept();
}

void Downloads::finish(int index, QWebEngineDownloadRequest *request)
{
    Item &item = m_items[index];
    if (item.state != State::Running)
        return;
    const QString part = item.partPath();
    item.received = request->receivedBytes();
    if (request->state() == QWebEngineDownloadRequest::DownloadCompleted) {
        // Another file may have taken the name meanwhile: never replace it.
        if (QFileInfo::exists(item.path()))
            item.name = uniqueName(item.folder, item.name, reservedNames());
        if (QFile::rename(part, item.path())) {
            item.state = State::Saved;
            Q_EMIT statusText(QStringLiteral("Saved %1 in %2").arg(item.name, QDir::toNativeSeparators(item.folder)));
        } else {
            item.state = State::Failed;
            item.error = QStringLiteral("it could not be given its name");
            QFile::remove(part);
            Q_EMIT statusText(QStringLiteral("%1 was not saved: %2").arg(item.name, item.error));
        }
    } else if (request->state() == QWebEngineDownloadRequest::DownloadCancelled) {
        item.state = State::Cancelled;
        QFile::remove(part);
        Q_EMIT statusText(QStringLiteral("The download of %1 was cancelled").arg(item.name));
    } else {
        fail(index, request->interruptReasonString());
        return;
    }
    Q_EMIT changed(index);
}

void Downloads::fail(int index, const QString &why)
{
    Item &item = m_items[index];
    if (item.state != State::Running)
        return;
    item.state = State::Failed;
    item.error = why;
    QFile::remove(item.partPath());
    // The engine keeps a failed transfer in a working file of its own, to resume it; nothing
    // resumes it here, and on a full disk it holds the space.
    QFile::remove(item.partPath() + engineWorkSuffix);
    Q_EMIT statusText(QStringLiteral("The download of %1 failed: %2").arg(item.name, item.error));
    Q_EMIT changed(index);
}

void Downloads::cancel(int index)
{
    if (index >= 0 && index < m_items.size() && m_items[index].state == State::Running && m_items[index].cancel)
        m_items[index].cancel();
}

void Downloads::showWindow(QWidget *parent)
{
    DownloadsWindow::open(this, parent);
}

#include "tools/printqueue.h"

#include "core/browsercontrol.h"
#include "core/filenames.h"
#include "core/paths.h"
#include "core/textcut.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPageRanges>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>

namespace {
// A print whose engine never answers must not hold up the pages behind it for good.
int watchdogMs = 180000;
// How long a page's scripts may take to answer before the page counts as hung. The engine
// ends the whole programme when a renderer dies during a print, and a hung page is the
// one whose renderer is about to die (killed, or out of memory): it is not printed.
constexpr int answerMs = 5000;
constexpr int maxNameLength = 100;
constexpr int maxNameBytes = 255 - 11;
}

PrintQueue::PrintQueue(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("printQueue"));
    connect(qApp, &QCoreApplication::aboutToQuit, this, &PrintQueue::programmeEnds);
}

void PrintQueue::programmeEnds()
{
    giveUpReserved();
    for (const QString &path : std::as_const(m_unanswered))
        if (QFile(path).size() == 0)
            QFile::remove(path);
    m_unanswered.clear();
}

void PrintQueue::giveUpReserved()
{
    if (!m_reserved.isEmpty() && QFile(m_reserved).size() == 0)
        QFile::remove(m_reserved);
    m_reserved.clear();
}

PrintQueue *PrintQueue::instance()
{
    static QPointer<PrintQueue> queue;
    if (!queue)
        queue = new PrintQueue(QCoreApplication::instance());
    return queue;
}

void PrintQueue::setUnansweredLimit(int ms) { watchdogMs = ms; }

bool PrintQueue::hasPrinter() { return !QPrinterInfo::availablePrinters().isEmpty(); }

QString PrintQueue::pdfFolder() { return Paths::documentsDir(); }

QString PrintQueue::safeFileName(const QString &title)
{
    QString name;
    for (const QChar c : title) {
        if (c.isSpace())
            name += QLatin1Char(' ');
        else if (FileNames::unsafe(c) || QStringLiteral("/\\:*?\"<>|").contains(c))
            name += QLatin1Char('_');
        else
            name += c;
    }
    name = name.simplified();
    while (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char('-')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    // File systems count a name's bytes: room is left for the longest " (9999).pdf".
    name = FileNames::leftBytes(TextCut::left(name, maxNameLength), maxNameBytes).trimmed();
    return name.isEmpty() ? QStringLiteral("Page") : name;
}

QString PrintQueue::reservePdfFile(const QString &folder, const QString &title)
{
    if (!Paths::ensureDir(folder))
        return QString();
    const QString base = QDir(folder).filePath(safeFileName(title));
    for (int n = 1; n < 10000; ++n) {
        const QString path = n == 1 ? base + QStringLiteral(".pdf") : QStringLiteral("%1 (%2).pdf").arg(base).arg(n);
        QFile file(path);
        // NewOnly fails on any existing file, so nothing is ever overwritten.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (!file.exists())
            return QString(); // the folder refuses new files
    }
    return QString();
}

void PrintQueue::enqueue(BrowserControl *web, const QString &caption, Status status, std::shared_ptr<QPrinter> printer)
{
    if (!web)
        return;
    m_jobs.append({web, caption, std::move(status), std::move(printer)});
    if (!m_running)
        runNext();
}

void PrintQueue::runNext()
{
    while (!m_jobs.isEmpty() && !m_jobs.first().web)
        m_jobs.removeFirst(); // its window was closed while waiting
    if (m_jobs.isEmpty()) {
        m_running = false;
        Q_EMIT idle();
        return;
    }
    m_running = true;
    m_printStarted = false;
    const Job job = m_jobs.takeFirst();
    const quint64 id = ++m_current;
    BrowserControl *web = job.web;

    if (web->rendererGone()) {
        finish(id, false, QString(), job);
        return;
    }
    // The engine prints whatever has arrived so far, often nothing: an empty file
    // reported as saved is worse than none.
    if (web->isLoading()) {
        finish(id, false, QString(), job,
               QStringLiteral("\"%1\" is still loading and was not printed.").arg(job.caption));
        return;
    }
    // A window whose address turned out to be a file is blank under the file's name.
    if (!web->hasPage()) {
        finish(id, false, QString(), job,
               QStringLiteral("\"%1\" has no page in it to print.").arg(job.caption));
        return;
    }
    QTimer::singleShot(answerMs, this, [this, id, job] {
        if (id == m_current && m_running && !m_printStarted)
            finish(id, false, QString(), job,
                   (job.web ? QStringLiteral("\"%1\" is not responding and was not printed.")
                            : QStringLiteral("\"%1\" was closed and was not printed."))
                       .arg(job.caption));
    });
    web->ping([this, id, job](bool) {
        if (id == m_current && m_running && !m_printStarted)
            startPrint(id, job);
    });
}

void PrintQueue::startPrint(quint64 id, const Job &job)
{
    BrowserControl *web = job.web;
    if (!web) {
        finish(id, false, QString(), job, QStringLiteral("\"%1\" was closed and was not printed.").arg(job.caption));
        return;
    }
    if (web->rendererGone()) {
        finish(id, false, QString(), job);
        return;
    }
    if (web->isLoading()) { // a reload or a link was taken while the page was asked
        finish(id, false, QString(), job,
               QStringLiteral("\"%1\" is still loading and was not printed.").arg(job.caption));
        return;
    }
    m_printStarted = true;
    // A window closed mid-print still answers once its page is done; one that never
    // answers is given up here.
    QTimer::singleShot(watchdogMs, this, [this, id, job] { finish(id, false, QString(), job); });

    std::shared_ptr<QPrinter> printer = job.printer;
    QString pdfPath;
    if (printer && printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
        // The engine's own PDF keeps the text; printing to a PDF printer would rasterise it.
        pdfPath = printer->outputFileName();
        web->printToPdf(pdfPath, printer->pageLayout(), printer->pageRanges(),
                        [this, id, job, pdfPath](bool ok) { finish(id, ok, pdfPath, job); });
        return;
    }
    if (!printer && !hasPrinter()) {
        // No printer at all: a file the user can find beats printing nothing.
        const QString title = web->LocationName().isEmpty() ? job.caption : web->LocationName();
        pdfPath = reservePdfFile(pdfFolder(), title);
        m_reserved = pdfPath;
        if (pdfPath.isEmpty()) {
            finish(id, false, QString(), job);
            return;
        }
        web->printToPdf(pdfPath, BrowserControl::sharedPageLayout(), QPageRanges(),
                        [this, id, job, pdfPath](bool ok) { finish(id, ok, pdfPath, job); });
        return;
    }
    if (!printer) {
        printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
        printer->setPageLayout(BrowserControl::sharedPageLayout());
    }
    web->printTo(printer.get(), [this, id, job, printer](bool ok) { finish(id, ok, QString(), job); });
}

void PrintQueue::finish(quint64 id, bool ok, const QString &pdfPath, const Job &job, const QString &why)
{
    if (id != m_current || !m_running)
        return; // a late answer for a job already given up
    ++m_current;
    // A failed print leaves no empty file reserved for it. One given up unanswered (no path
    // here) keeps its name until the programme ends, when it goes if still empty: the engine
    // may yet write it, and a later page of the same title must not get that name.
    if (!ok && pdfPath.isEmpty() && !m_reserved.isEmpty())
        m_unanswered << m_reserved;
    else if (!ok)
        giveUpReserved();
    m_reserved.clear();
    m_printStarted = false;
    if (job.status) {
        if (!ok && !why.isEmpty())
            job.status(why);
        else if (!ok)
            job.status(QStringLiteral("\"%1\" could not be printed.").arg(job.caption));
        else if (!pdfPath.isEmpty())
            job.status(QStringLiteral("\"%1\" saved as %2").arg(job.caption, QDir::toNativeSeparators(pdfPath)));
        else
            job.status(QStringLiteral("\"%1\" sent to the printer.").arg(job.caption));
    }
    Q_EMIT jobFinished(ok, pdfPath);
    // Queued: a control that answers at once must not recurse through the whole queue.
    QMetaObject::invokeMethod(this, &PrintQueue::runNext, Qt::QueuedConnection);
}

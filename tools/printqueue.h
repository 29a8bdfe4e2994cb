#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class BrowserControl;
class QPrinter;

// Pages waiting to be printed, one at a time: the engine drops a print asked
// for while another is running, so each job starts when the last one finished.
class PrintQueue : public QObject
{
    Q_OBJECT
public:
    using Status = std::function<void(const QString &)>;

    static PrintQueue *instance();

    // Prints web's page. With a printer, to it; without, to the default printer,
    // or, when the machine has none, to a new PDF file in the documents folder.
    void enqueue(BrowserControl *web, const QString &caption, Status status,
                 std::shared_ptr<QPrinter> printer = nullptr);
    bool isBusy() const { return m_running || !m_jobs.isEmpty(); }

    // The folder print-all writes PDF files to when there is no printer.
    static QString pdfFolder();
    // A page title made safe as a file name (no folder separators, never hidden or empty).
    static QString safeFileName(const QString &title);
    // Makes a new, empty file "<name>.pdf" in folder (never an existing one) and returns its path.
    static QString reservePdfFile(const QString &folder, const QString &title);
    static bool hasPrinter();
    // How long a print the engine never answers holds the pages behind it; tests shorten it.
    static void setUnansweredLimit(int ms);

    // The empty file reserved for the running job's PDF goes: the print failed, or the
    // programme is ending (called when it quits) and the print cannot finish now.
    void giveUpReserved();
    // The programme ends: no print can finish now, and the files kept for prints given up
    // unanswered go as well where the engine never wrote them.
    void programmeEnds();

Q_SIGNALS:
    // One job is over: ok, and the PDF file written (empty when it went to a printer).
    void jobFinished(bool ok, const QString &pdfPath);
    void idle();

private:
    struct Job {
        QPointer<BrowserControl> web;
        QString caption;
        Status status;
        std::shared_ptr<QPrinter> printer;
    };
    explicit PrintQueue(QObject *parent = nullptr);
    void runNext();
    // The page answered: its print starts.
    void startPrint(quint64 id, const Job &job);
    // why, when given, is what the person is told instead of the plain failure.
    void finish(quint64 id, bool ok, const QString &pdfPath, const Job &job, const QString &why = QString());

    QList<Job> m_jobs;
    bool m_running = false;
    quint64 m_current = 0;
    bool m_printStarted = false; // the running job's page answered and its print was asked for
    QString m_reserved; // the empty file reserved for the running job's PDF, if any
    QStringList m_unanswered; // files of prints given up unanswered, kept from later pages
};

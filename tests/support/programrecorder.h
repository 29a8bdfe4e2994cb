#pragma once
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

// Stands in for the desktop's programmes (xdg-open, a $BROWSER, ...): each name given
// becomes a script first on PATH that records its name and arguments, one file per
// start. $BROWSER is unset for the life of the object; PATH and $BROWSER come back after.
class ProgramRecorder
{
public:
    ProgramRecorder();
    ~ProgramRecorder();

    QString bin() const { return m_dir.path() + QStringLiteral("/bin"); }

    // A recording programme of that name.
    bool program(const QString &name);
    // A programme of that name running the given shell text.
    bool script(const QString &name, const QString &body);

    // Each finished start as [programme, arg1, arg2, ...], oldest first.
    QList<QStringList> calls() const;
    // Waits for the first start and returns it; "<n calls>" when n != 1 were seen by then.
    QStringList one(int timeoutMs = 15000) const;

private:
    QString log() const { return m_dir.path() + QStringLiteral("/log"); }

    QTemporaryDir m_dir;
    QByteArray m_savedPath;
    QByteArray m_savedBrowser;
    bool m_hadBrowser = false;
};

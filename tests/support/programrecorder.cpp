#include "programrecorder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

ProgramRecorder::ProgramRecorder()
{
    m_savedPath = qgetenv("PATH");
    m_savedBrowser = qgetenv("BROWSER");
    m_hadBrowser = qEnvironmentVariableIsSet("BROWSER");
    QDir().mkpath(bin());
    QDir().mkpath(log());
    qputenv("PATH", bin().toLocal8Bit() + ':' + m_savedPath);
    qunsetenv("BROWSER");
}

ProgramRecorder::~ProgramRecorder()
{
    qputenv("PATH", m_savedPath);
    if (m_hadBrowser)
        qputenv("BROWSER", m_savedBrowser);
    else
        qunsetenv("BROWSER");
}

bool ProgramRecorder::program(const QString &name)
{
    // NUL-separated, written aside and renamed, so a reader never sees half a call.
    return script(name, QStringLiteral("out=\"%1/call.$$\"\n"
                                       "printf '%s\\0' \"$(basename \"$0\")\" \"$@\" > \"$out.part\" && mv \"$out.part\" \"$out\"\n")
                            .arg(log()));
}

bool ProgramRecorder::script(const QString &name, const QString &body)
{
    QFile f(bin() + QLatin1Char('/') + name);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("#!/bin/sh\n" + body.toUtf8());
    f.close();
    return f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QList<QStringList> ProgramRecorder::calls() const
{
    QList<QStringList> out;
    const QStringList files = QDir(log()).entryList({QStringLiteral("call.*")}, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QString &name : files) {
        QFile f(log() + QLatin1Char('/') + name);
        if (name.endsWith(QLatin1String(".part")) || !f.open(QIODevice::ReadOnly))
            continue;
        QStringList call;
        for (const QByteArray &piece : f.readAll().split('\0'))
            call.append(QString::fromUtf8(piece));
        call.removeLast(); // what follows the final NUL
        out.append(call);
    }
    return out;
}

QStringList ProgramRecorder::one(int timeoutMs) const
{
    QList<QStringList> seen;
    const bool arrived = QTest::qWaitFor([&] { seen = calls(); return !seen.isEmpty(); }, timeoutMs);
    Q_UNUSED(arrived)
    return seen.size() == 1 ? seen.first() : QStringList{QStringLiteral("<%1 calls>").arg(seen.size())};
}

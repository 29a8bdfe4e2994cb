#include "testenv.h"

#include "app/startup.h"
#include "programrecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtGlobal>
#include <QtTest>

#include <unistd.h>

namespace {
// One folder for the whole run holds every home a test makes. The engine's profile keeps
// the folders of the home it was made in and may still write there after that home is
// gone (its cache index at exit): inside this folder, that is removed with it at exit.
const QTemporaryDir &runRoot()
{
    static const QTemporaryDir root(QDir::tempPath() + QStringLiteral("/quillon-tests-XXXXXX"));
    return root;
}

const char *vars[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME"};

void pointAt(const QString &root)
{
    QDir().mkpath(root + QStringLiteral("/home"));
    qputenv("HOME", (root + QStringLiteral("/home")).toLocal8Bit());
    const char *subs[] = {"config", "data", "runtime", "cache"};
    for (int i = 0; i < 4; ++i) {
        const QString dir = root + QLatin1Char('/') + QLatin1String(subs[i]);
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(vars[i + 1], dir.toLocal8Bit());
    }
}
}

TempHome::TempHome() : m_dir(runRoot().path() + QStringLiteral("/home-XXXXXX"))
{
    for (int i = 0; i < 5; ++i)
        m_saved[i] = qgetenv(vars[i]);
    pointAt(m_dir.path());
}

TempHome::~TempHome()
{
    for (int i = 0; i < 5; ++i)
        qputenv(vars[i], m_saved[i]);
}

QString TempHome::configDir() const { return m_dir.path() + QStringLiteral("/config/Quillon"); }
QString TempHome::dataDir() const { return m_dir.path() + QStringLiteral("/data/Quillon"); }

bool TempHome::makeConfigDirUnwritable() const
{
    const QString dir = configDir();
    if (!QDir(dir).removeRecursively() || !QDir().mkpath(QFileInfo(dir).path()))
        return false;
    if (geteuid() != 0)
        return QDir().mkdir(dir) && QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
    // File modes do not stop root: lend the name to a kernel folder that refuses new files.
    const QString kernel = QStringLiteral("/sys/kernel");
    if (!QFileInfo(kernel).isDir() || QFileInfo::exists(kernel + QStringLiteral("/PellQLN21.ini")))
        return false;
    return QFile::link(kernel, dir);
}

namespace TestEnv {

void prepareEngine()
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--disable-gpu"))
        flags += " --disable-gpu";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    Startup::prepareEnvironment(); // the engine's process model as the programme ships it
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void isolateHome()
{
    pointAt(runRoot().path());
}

}

namespace TestEnv {

void recordOutsidePrograms()
{
    static ProgramRecorder recorder;
    static const bool made = [] {
        for (const char *name : {"xdg-open", "xdg-settings", "xdg-email", "x-www-browser", "sensible-browser",
                                 "www-browser", "firefox", "firefox-esr", "chromium", "google-chrome"})
            recorder.program(QString::fromLatin1(name));
        return true;
    }();
    Q_UNUSED(made);
}

void failOnUnexpectedWarnings()
{
    // Lines the engine or the platform print on their own, whatever the test does.
    static const QStringList known = {
        QStringLiteral("This plugin does not support propagateSizeHints()"),
        QStringLiteral("Release of profile requested but WebEnginePage still not deleted"),
    };
    QStringList escaped;
    for (const QString &line : known)
        escaped << QRegularExpression::escape(line);
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^(?!.*(?:%1))").arg(escaped.join(QLatin1Char('|'))),
                                            QRegularExpression::DotMatchesEverythingOption));
}

}

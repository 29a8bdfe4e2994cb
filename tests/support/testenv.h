#pragma once
#include <QTemporaryDir>
#include <QString>

// Points HOME and the XDG folders at a fresh temporary folder for the life of the object,
// so tests never touch the user's files and start from an empty store.
class TempHome
{
public:
    TempHome();
    ~TempHome();
    QString path() const { return m_dir.path(); }
    QString configDir() const;   // .../config/Quillon
    QString dataDir() const;     // .../data/Quillon
    // Makes the settings folder one that exists but takes no new file, as a read-only
    // or full disk would; false when this machine has no such folder to offer.
    bool makeConfigDirUnwritable() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_saved[5];
};

namespace TestEnv {
// Environment the engine needs here (root, no GPU); call before the application object exists.
void prepareEngine();
// Sets the XDG variables to fresh folders under a temporary directory kept until exit.
void isolateHome();
// Puts recording stand-ins first on PATH for every programme Quillon may start on
// the desktop (browsers, the opener, the mail client), for the whole run: no test
// ever starts the machine's real ones.
void recordOutsidePrograms();
// Makes any warning the test function logs, other than a short list of the engine's
// own known lines, a failure. Call at the start of every test function (init()).
void failOnUnexpectedWarnings();
}

// A main() for Qt Test executables: isolated home, engine environment, QApplication.
#define QUILLON_TEST_MAIN(TestObject)                                   \
    int main(int argc, char *argv[])                                    \
    {                                                                   \
        TestEnv::prepareEngine();                                       \
        TestEnv::isolateHome();                                         \
        TestEnv::recordOutsidePrograms();                               \
        QApplication app(argc, argv);                                   \
        QCoreApplication::setApplicationName(QStringLiteral("Quillon")); \
        app.setAttribute(Qt::AA_Use96Dpi, true);                        \
        TestObject tc;                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                      \
        return QTest::qExec(&tc, argc, argv);                           \
    }

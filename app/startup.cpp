#include "app/startup.h"

#include <QApplication>

namespace Startup {

void prepareEnvironment() {}

int run(int argc, char *argv[])
{
    prepareEnvironment();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    return app.exec();
}

}

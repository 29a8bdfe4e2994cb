#include "core/startuptrace.h"

#include <QByteArray>
#include <QFile>

#include <chrono>

namespace StartupTrace {

void mark(const char *milestone, int number)
{
    const QString path = qEnvironmentVariable("QUILLON_TRACE_LOG");
    if (path.isEmpty())
        return;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    QByteArray line = QByteArray::number(std::chrono::duration<double>(now).count(), 'f', 6);
    line += ' ';
    line += milestone;
    if (number >= 0)
        line += ' ' + QByteArray::number(number);
    line += '\n';
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        file.write(line);
}

}

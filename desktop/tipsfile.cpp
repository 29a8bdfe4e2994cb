#include "desktop/tipsfile.h"

#include "core/eightbittext.h"

#include <QFile>
#include <QFileInfo>

namespace TipsFile {

bool read(const QString &path, QStringList *lines)
{
    if (path.isEmpty())
        return false;
    // Only a regular file: a folder, a pipe or a device in its place would never end.
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray data = file.read(MaxBytes);
    file.close();
    data.replace('\0', QByteArray());

    QString text = EightBitText::decode(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    QStringList found = text.split(QLatin1Char('\n'));
    // A final line end closes the last line; it does not start another.
    if (!found.isEmpty() && found.last().isEmpty())
        found.removeLast();
    if (found.size() > MaxLines)
        found.erase(found.begin() + MaxLines, found.end());
    for (QString &line : found) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.size() > MaxLineLength)
            line.truncate(MaxLineLength);
    }
    if (lines)
        lines->append(found);
    return true;
}

}

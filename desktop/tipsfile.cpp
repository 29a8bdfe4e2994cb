#include "desktop/tipsfile.h"

#include "core/eightbittext.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The bytes at the end of data that begin a UTF-8 character without finishing it.
qsizetype partialCharacterBytes(const QByteArray &data)
{
    for (qsizetype back = 1; back <= 3 && back <= data.size(); ++back) {
        const uchar c = uchar(data.at(data.size() - back));
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for the lead
        const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

}

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
    const bool cut = data.size() == MaxBytes && !file.atEnd();
    file.close();
    // A tips file saved as "Unicode" by an editor is UTF-16: read it as such, mark dropped.
    EightBitText::takeByteOrderMark(data);
    // Cut off at the limit: the last line is partial, and may end inside a character that
    // would make the whole file fail as UTF-8. A single line is kept, whole characters only.
    if (cut) {
        if (const qsizetype end = data.lastIndexOf('\n'); end >= 0)
            data.truncate(end + 1);
        else
            data.chop(partialCharacterBytes(data));
    }
    data.replace('\0', QByteArray());

    const QString text = EightBitText::decode(data);

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

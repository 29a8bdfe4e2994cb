#include "core/shortcutfile.h"

#include "core/browsercontrol.h"
#include "core/eightbittext.h"
#include "core/wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

// A shortcut is a few hundred bytes; anything past this is not worth reading.
constexpr qint64 maxFileBytes = 4 * 1024 * 1024;

// Names compare as the profile reader does: ASCII letters without regard to case.
bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}

namespace ShortcutFile {

QString readValue(const QString &path, const QString &section, const QString &key, int maxChars)
{
    if (maxChars < 1)
        return QString();
    const QFileInfo info(path);
    // Pipes and devices could block or never end; a shortcut is always a regular file.
    if (!info.isFile())
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray data = file.read(maxFileBytes);
    EightBitText::takeByteOrderMark(data);

    const QByteArray wantSection = section.toUtf8();
    const QByteArray wantKey = key.toUtf8();
    const QByteArrayView all(data);
    bool inSection = false;
    bool seenSection = false;
    qsizetype pos = 0;
    while (pos < all.size()) {
        qsizetype end = all.indexOf('\n', pos);
        if (end < 0)
            end = all.size();
        QByteArrayView line = all.sliced(pos, end - pos);
        pos = end + 1;
        // A NUL ends the line's text, as it would in the reader's C strings.
        const qsizetype nul = line.indexOf('\0');
        if (nul >= 0)
            line.truncate(nul);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith('[')) {
            if (seenSection && inSection)
                break; // the first section of that name is the one read
            const qsizetype close = line.indexOf(']');
            const QByteArrayView name = (close < 0 ? line.sliced(1) : line.sliced(1, close - 1)).trimmed();
            inSection = sameName(name, wantSection);
            seenSection = seenSection || inSection;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0 || !sameName(line.first(eq).trimmed(), wantKey))
            continue;
        QByteArrayView value = line.sliced(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.sliced(1, value.size() - 2);
        // Older shortcut files are in the Windows code page.
        QString text = EightBitText::decode(value);
        if (text.size() > maxChars - 1)
            text.truncate(maxChars - 1);
        return text;
    }
    return QString();
}

QString readUrl(const QString &path)
{
    // Not the profile reader's buffer: an address cut short opens another page.
    return readValue(path, QStringLiteral("InternetShortcut"), QStringLiteral("URL"), MaxUrlChars + 1);
}

QString addressToOpen(const QString &address)
{
    // Read as the control reads an address: a path, relative to the working folder, or a file: address.
    const QUrl url = QUrl::fromUserInput(BrowserControl::cleanAddress(address), QDir::currentPath());
    if (!url.isLocalFile())
        return address;
    const QString path = url.toLocalFile();
    if (!path.endsWith(QLatin1String(".url"), Qt::CaseInsensitive))
        return address;
    // One step only: shortcuts naming each other cannot send it round in a circle.
    const QString target = readUrl(path);
    return target.isEmpty() ? address : target;
}

bool writeUrl(const QString &path, const QString &url)
{
    QString clean = url;
    clean.remove(QLatin1Char('\r'));
    clean.remove(QLatin1Char('\n'));
    clean.remove(QChar(0));
    if (clean.size() > MaxUrlChars)
        return false;
    return WholeFile::replace(path, "[InternetShortcut]\r\nURL=" + clean.toUtf8() + "\r\n");
}

}

#include "popups/banlist.h"

#include "core/eightbittext.h"
#include "core/paths.h"
#include "core/wholefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// How the file's text is stored, so that a save can keep it.
enum class Encoding { Utf8, Utf8Bom, Windows1252, Utf16LE, Utf16BE };

struct FileText
{
    QByteArray fields; // UTF-8 (or older Windows code page) text for the field reader, without a byte-order mark
    Encoding encoding = Encoding::Utf8;
    bool cut = false;    // the file goes on past MaxBanListBytes
    bool hasNul = false; // NUL bytes: not text in any encoding known here
};

// Reads the file, or fails with a reason; a missing file is an empty list.
bool readFile(FileText *text, QString *error)
{
    const QString path = Paths::banListFile();
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    // A directory or a pipe in its place: never open it (a pipe would block).
    if (!info.isFile()) {
        *error = QStringLiteral("%1 is not a file.").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QByteArray data = file.read(MaxBanListBytes);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    text->cut = data.size() == MaxBanListBytes && !file.atEnd();
    // The field reader works on 8-bit text; the mark says how to write the list back.
    switch (EightBitText::takeByteOrderMark(data)) {
    case EightBitText::Mark::Utf16LE: text->encoding = Encoding::Utf16LE; break;
    case EightBitText::Mark::Utf16BE: text->encoding = Encoding::Utf16BE; break;
    case EightBitText::Mark::Utf8: text->encoding = Encoding::Utf8Bom; break;
    case EightBitText::Mark::None: break;
    }
    // Cut off at the limit: drop the partial last line rather than a broken entry.
    if (text->cut) {
        qsizetype end = data.size();
        while (end > 0 && !isLineEnd(data.at(end - 1)))
            --end;
        data.truncate(end);
    }
    if (text->encoding == Encoding::Utf8) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        (void)QString(utf8(data));
        if (utf8.hasError())
            text->encoding = Encoding::Windows1252;
    }
    text->hasNul = data.contains('\0');
    text->fields = std::move(data);
    return true;
}

// Older lists are in the Windows code page: an entry that is not UTF-8 is read in it,
// never turned into replacement characters.
QString decodeEntry(const QByteArray &field)
{
    return EightBitText::decode(field);
}

// One entry as a line of the file, in the file's encoding.
QByteArray encodedLine(QString entry, Encoding encoding)
{
    // A line break would split the entry over two lines: it cannot be part of an address.
    entry.remove(QLatin1Char('\r'));
    entry.remove(QLatin1Char('\n'));
    const bool blankEdge = !entry.isEmpty()
        && (entry.front().isSpace() || entry.back().isSpace());
    // Quotes cannot be escaped in this format, so an entry holding one stays bare.
    if ((entry.contains(QLatin1Char(',')) || blankEdge) && !entry.contains(QLatin1Char('"')))
        entry = QLatin1Char('"') + entry + QLatin1Char('"');
    entry += QLatin1String("\r\n");
    if (encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE) {
        QStringEncoder utf16(encoding == Encoding::Utf16LE ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE);
        return utf16(entry);
    }
    if (encoding == Encoding::Windows1252) {
        if (const auto bytes = EightBitText::encodeWindows1252(entry))
            return *bytes;
    }
    return entry.toUtf8();
}

}

QStringList parseBanList(const QByteArray &data, bool *cut)
{
    QStringList entries;
    const qsizetype n = data.size();
    qsizetype pos = 0;
    while (pos < n && entries.size() < MaxBanListEntries) {
        while (pos < n && isBlank(data.at(pos)))
            ++pos;
        QByteArray field;
        if (pos < n && data.at(pos) == '"') {
            const qsizetype start = ++pos;
            while (pos < n && data.at(pos) != '"' && !isLineEnd(data.at(pos)))
                ++pos;
            field = data.mid(start, pos - start);
            // Anything between the closing quote and the delimiter is not part of the entry.
            while (pos < n && data.at(pos) != ',' && !isLineEnd(data.at(pos)))
                ++pos;
        } else {
            const qsizetype start = pos;
            while (pos < n && data.at(pos) != ',' && !isLineEnd(data.at(pos)))
                ++pos;
            field = data.mid(start, pos - start);
            while (!field.isEmpty() && isBlank(field.back()))
                field.chop(1);
        }
        if (pos < n) {
            if (data.at(pos) == '\r' && pos + 1 < n && data.at(pos + 1) == '\n')
                ++pos;
            ++pos;
        }
        if (!field.isEmpty())
            entries.append(decodeEntry(field));
    }
    if (cut) {
        // Only blanks and line ends left means nothing was left out.
        while (pos < n && (isBlank(data.at(pos)) || isLineEnd(data.at(pos)) || data.at(pos) == ','))
            ++pos;
        *cut = pos < n;
    }
    return entries;
}

QStringList ReadBanList(bool *ok, QString *error, bool *partial)
{
    FileText text;
    QString why;
    bool read = readFile(&text, &why);
    // Saving the list shown would turn such a file into something else again.
    if (read && text.hasNul) {
        read = false;
        why = QStringLiteral("%1 holds NUL bytes and is not plain text").arg(Paths::banListFile());
    }
    if (ok)
        *ok = read;
    if (error)
        *error = why;
    bool cutEntries = false;
    const QStringList entries = read ? parseBanList(text.fields, &cutEntries) : QStringList();
    if (partial)
        *partial = text.cut || cutEntries;
    return entries;
}

BanVerdict CheckBanList(const QString &address)
{
    // Whatever can be read bans: a file that ends in NUL bytes after a crash still
    // holds the user's entries before them.
    FileText text;
    QString ignored;
    const QStringList entries = readFile(&text, &ignored) ? parseBanList(text.fields) : QStringList();
    if (entries.isEmpty())
        return BanVerdict::NoList;
    const QString wanted = address.toLower();
    for (const QString &entry : entries)
        if (entry.toLower() == wanted)
            return BanVerdict::Banned;
    return BanVerdict::NotBanned;
}

bool WriteBanList(const QStringList &entries, QString *error)
{
    const QString path = Paths::banListFile();
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!Paths::ensureDir(QFileInfo(path).absolutePath()))
        return fail(QStringLiteral("The folder %1 could not be made.").arg(QFileInfo(path).absolutePath()));
    // The file keeps its encoding (an older list in the Windows code page, or UTF-16 from an editor
    // elsewhere), so that the entries the user did not touch keep their bytes.
    FileText old;
    QString ignored;
    readFile(&old, &ignored);
    QByteArray text;
    if (old.encoding == Encoding::Utf8Bom)
        text = "\xEF\xBB\xBF";
    else if (old.encoding == Encoding::Utf16LE)
        text = "\xFF\xFE";
    else if (old.encoding == Encoding::Utf16BE)
        text = "\xFE\xFF";
    for (const QString &entry : entries)
        text += encodedLine(entry, old.encoding);
    QString why;
    if (!WholeFile::replace(path, text, &why))
        return fail(QStringLiteral("%1: %2").arg(path, why));
    return true;
}

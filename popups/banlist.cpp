#include "popups/banlist.h"

#include "core/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the file, or fails with a reason; a missing file is an empty list.
bool readFile(QByteArray *data, QString *error, bool *cut)
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
    *data = file.read(MaxBanListBytes);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    // Cut off at the limit: drop the partial last line rather than a broken entry.
    if (data->size() == MaxBanListBytes && !file.atEnd()) {
        *cut = true;
        qsizetype end = data->size();
        while (end > 0 && !isLineEnd(data->at(end - 1)))
            --end;
        data->truncate(end);
    }
    return true;
}

// Older lists hold Latin-1 text: an entry that is not UTF-8 is read as Latin-1,
// never turned into replacement characters.
QString decodeEntry(const QByteArray &field)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(field);
    return utf8.hasError() ? QString::fromLatin1(field) : text;
}

QByteArray quotedIfNeeded(QString entry, bool latin1)
{
    // A line break would split the entry over two lines: it cannot be part of an address.
    entry.remove(QLatin1Char('\r'));
    entry.remove(QLatin1Char('\n'));
    const bool blankEdge = !entry.isEmpty()
        && (entry.front().isSpace() || entry.back().isSpace());
    // Quotes cannot be escaped in this format, so an entry holding one stays bare.
    if ((entry.contains(QLatin1Char(',')) || blankEdge) && !entry.contains(QLatin1Char('"')))
        entry = QLatin1Char('"') + entry + QLatin1Char('"');
    if (latin1) {
        QStringEncoder encoder(QStringEncoder::Latin1);
        const QByteArray bytes = encoder(entry);
        if (!encoder.hasError())
            return bytes;
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
    QByteArray data;
    QString why;
    bool cutFile = false, cutEntries = false;
    const bool read = readFile(&data, &why, &cutFile);
    if (ok)
        *ok = read;
    if (error)
        *error = why;
    const QStringList entries = read ? parseBanList(data, &cutEntries) : QStringList();
    if (partial)
        *partial = cutFile || cutEntries;
    return entries;
}

BanVerdict CheckBanList(const QString &address)
{
    const QStringList entries = ReadBanList();
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
    // An older list in Latin-1 stays in Latin-1, so that the entries the user did not
    // touch keep their bytes.
    QByteArray old;
    QString ignored;
    bool cut = false;
    readFile(&old, &ignored, &cut);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(old);
    const bool latin1 = utf8.hasError();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    QByteArray text;
    for (const QString &entry : entries)
        text += quotedIfNeeded(entry, latin1) + "\r\n";
    if (file.write(text) != text.size())
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    if (!file.commit())
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return true;
}

#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Text files made by hand or on other systems: UTF-8 where the bytes are valid UTF-8,
// otherwise the 8-bit Windows code page (1252), whose curly quotes and dashes Latin-1
// would turn into invisible control characters.
namespace EightBitText {

QString decode(QByteArrayView bytes);

// The byte-order mark a file's bytes may start with.
enum class Mark { None, Utf8, Utf16LE, Utf16BE };
// Takes the mark off the bytes, and turns UTF-16 (which editors elsewhere may save) into
// UTF-8, for readers that work on 8-bit text; says which mark there was.
Mark takeByteOrderMark(QByteArray &bytes);
// The text in the Windows code page, byte for byte what decode() read; nothing when a
// character has no place in it.
std::optional<QByteArray> encodeWindows1252(const QString &text);

}

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
// The text in the Windows code page, byte for byte what decode() read; nothing when a
// character has no place in it.
std::optional<QByteArray> encodeWindows1252(const QString &text);

}

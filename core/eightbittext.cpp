#include "core/eightbittext.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace EightBitText {

namespace {
// The code page by name; its five unassigned bytes read as the C1 controls of the same
// number and write back as those bytes, so no byte is lost either way.
constexpr char windows1252[] = "windows-1252";
}

QString decode(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp(windows1252, QStringDecoder::Flag::Stateless);
    return cp.isValid() ? QString(cp.decode(bytes)) : QString::fromLatin1(bytes);
}

Mark takeByteOrderMark(QByteArray &bytes)
{
    const bool le = bytes.startsWith("\xFF\xFE"), be = bytes.startsWith("\xFE\xFF");
    if (le || be) {
        QStringDecoder utf16(le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless);
        bytes = QString(utf16(QByteArrayView(bytes).sliced(2))).toUtf8();
        return le ? Mark::Utf16LE : Mark::Utf16BE;
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
        return Mark::Utf8;
    }
    return Mark::None;
}

std::optional<QByteArray> encodeWindows1252(const QString &text)
{
    QStringEncoder cp(windows1252, QStringEncoder::Flag::Stateless);
    // A toolkit built without the code page reads Latin-1 instead; write what it reads.
    if (!cp.isValid())
        cp = QStringEncoder(QStringEncoder::Latin1, QStringEncoder::Flag::Stateless);
    const QByteArray bytes = cp.encode(text);
    if (cp.hasError())
        return std::nullopt;
    return bytes;
}

}

#include "core/filenames.h"

bool FileNames::unsafe(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        // Embeddings, overrides and isolates.
        return (c.unicode() >= 0x202A && c.unicode() <= 0x202E) || (c.unicode() >= 0x2066 && c.unicode() <= 0x2069);
    }
}

namespace {
int utf8Bytes(QChar c)
{
    if (c.unicode() < 0x80)
        return 1;
    if (c.unicode() < 0x800)
        return 2;
    return c.isSurrogate() ? 2 : 3; // a pair is four
}
}

QString FileNames::leftBytes(const QString &text, int bytes)
{
    int used = 0;
    qsizetype n = 0;
    for (; n < text.size(); ++n) {
        used += utf8Bytes(text.at(n));
        if (used > bytes)
            break;
    }
    if (n > 0 && n < text.size() && text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

#include "core/textcut.h"

#include <QTextBoundaryFinder>

QString TextCut::left(const QString &text, int maxChars)
{
    if (maxChars <= 0)
        return QString();
    // Fewer code units than asked for: fewer characters too.
    if (text.size() <= maxChars)
        return text;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int n = 0; n < maxChars; ++n) {
        const qsizetype next = graphemes.toNextBoundary();
        if (next < 0)
            return text;
        end = next;
    }
    return text.left(end);
}

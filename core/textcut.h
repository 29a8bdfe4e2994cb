#pragma once
#include <QString>

namespace TextCut {
// The first maxChars characters of text as a person counts them (grapheme clusters), so
// that a cut never leaves half an emoji, a lone surrogate or a letter without its accents.
QString left(const QString &text, int maxChars);
}

// The tips reader on an arbitrary file.
#include "fuzzfile.h"
#include "desktop/tipsfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = FuzzFile::write(QStringLiteral("tips.txt"), data, size);
    QStringList lines;
    if (!TipsFile::read(path, &lines))
        __builtin_trap(); // a regular file always reads
    if (lines.size() > TipsFile::MaxLines)
        __builtin_trap();
    for (const QString &line : lines)
        if (line.size() > TipsFile::MaxLineLength)
            __builtin_trap();
    return 0;
}

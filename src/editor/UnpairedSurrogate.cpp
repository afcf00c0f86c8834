#include "editor/UnpairedSurrogate.h"

qsizetype unpairedSurrogateIndex(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return i;
    }
    return -1;
}

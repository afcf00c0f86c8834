#include "document/LineEnding.h"

LineEnding lineEndingOf(const QString &text)
{
    const qsizetype lineFeed = text.indexOf(u'\n');
    return lineFeed > 0 && text.at(lineFeed - 1) == u'\r' ? LineEnding::CrLf : LineEnding::Lf;
}

QString withLfLineEndings(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString withLineEnding(QString lfText, LineEnding style)
{
    if (style == LineEnding::CrLf)
        lfText.replace(u'\n', QStringLiteral("\r\n"));
    return lfText;
}

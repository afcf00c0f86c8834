#include "editor/SQLFilterDrop.h"

#include "editor/SQLCompletion.h"
#include "editor/SQLEditorTextStorage.h"

namespace
{

bool isBlankOrLineFeed(QChar character)
{
    return character == u' ' || character == u'\t' || character == u'\n';
}

// The leading spaces and tabs of the line whose line feed is at the index.
QString indentationOfLineEndingAt(const SQLTextBuffer &text, qint64 lineFeed)
{
    qint64 start = lineFeed;
    while (start > 0 && text.at(start - 1) != u'\n')
        --start;
    QString blanks;
    for (qint64 at = start; at < lineFeed && (text.at(at) == u' ' || text.at(at) == u'\t'); ++at)
        blanks += text.at(at);
    return blanks;
}

} // namespace

QString SQLFilterDrop::textForDrop(const SQLEditorTextStorage &storage, qint64 index,
                                   const QString &condition)
{
    const SQLTextBuffer &text = storage.text();
    const qint64 length = text.length();
    const bool midLine = index == 0 || text.at(index - 1) != u'\n';
    const QString combiner = SQLCompletion(storage, nullptr).combinerForInsertedTermAt(index);
    QString inserted;
    bool copyIndentation = true;
    if (midLine || combiner != u"WHERE") {
        inserted = combiner.isNull() ? condition : combiner + u' ' + condition;
    } else {
        // On a line of its own, WHERE stands alone and the condition goes indented below it.
        inserted = combiner + QStringLiteral("\n\t") + condition;
        copyIndentation = false;
    }
    if (index >= 1 && !isBlankOrLineFeed(text.at(index - 1)))
        inserted.prepend(u' ');
    if (length > 0 && index < length - 1 && !isBlankOrLineFeed(text.at(index)))
        inserted.append(u' ');
    if (index >= 1 && copyIndentation && text.at(index - 1) == u'\n')
        inserted.prepend(indentationOfLineEndingAt(text, index - 1));
    if ((index < length - 1 && text.at(index) == u'\n') || index == length)
        inserted.append(u'\n');
    return inserted;
}

#pragma once

#include "editor/SQLEditorTextStorage.h"
#include "platform/PreferenceDefaults.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextLayout>

#include <ostream>

inline void PrintTo(const QString &string, std::ostream *out)
{
    *out << '"' << string.toStdString() << '"';
}

// Shared helpers of the editor tests: the preference defaults every pane reads, and the colour and marks
// the storage put on a character.
namespace EditorTestSupport
{

inline void writeDefaultPreferences()
{
    PreferenceDefaults::setDefaultPreferences(UserDefaults::standard());
}

inline QTextLayout::FormatRange formatAt(const SQLEditorTextStorage &storage, int position)
{
    const QTextBlock block = storage.findBlock(position);
    const int offset = position - block.position();
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        if (offset >= range.start && offset < range.start + range.length)
            return range;
    }
    return {0, 0, {}};
}

// The foreground at a position; invalid when the character was never coloured.
inline QColor colorAt(const SQLEditorTextStorage &storage, int position)
{
    const QTextLayout::FormatRange range = formatAt(storage, position);
    return range.length > 0 ? range.format.foreground().color() : QColor();
}

inline bool isParameterAt(const SQLEditorTextStorage &storage, int position)
{
    return formatAt(storage, position).format.boolProperty(SQLEditorTextStorage::InputParameterAttribute);
}

// Runs queued work such as the full reparse.
inline void processEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace EditorTestSupport

#pragma once

#include "sql/TextRange.h"

#include <QString>

// The text of a document being edited: one string with a gap at the place of the last edit, so that
// typing in the middle of a long script moves no more than the characters between two edits, where a
// plain string moves everything after the edit. Asked for as one string, the buffer closes the gap at
// its end; asked for the characters from a position on in one piece, it moves the gap before them.
class SQLTextBuffer
{
public:
    // Shares the string; the first edit copies it unless nothing else holds it.
    void assign(const QString &text);
    qint64 length() const { return storage_.size() - gapLength(); }
    QChar at(qint64 index) const { return storage_.at(index < gapStart_ ? index : index + gapLength()); }
    QString mid(qint64 position, qint64 length) const;
    // The line feeds in a range.
    qint64 countNewlines(TextRange range) const;

    // Replaces a range (which must lie inside the text).
    void replace(TextRange range, QStringView text);

    // The whole text as one string.
    const QString &string() const;
    // Characters such that result[i] is the character at i for every i from position - 1 (not below
    // 0) to the end: the gap moves before them.
    const char16_t *contiguousFrom(qint64 position) const;

private:
    qint64 gapLength() const { return gapEnd_ - gapStart_; }
    void moveGapTo(qint64 index) const;

    // Mutable: closing or moving the gap changes no character.
    mutable QString storage_;
    mutable qint64 gapStart_ = 0;
    mutable qint64 gapEnd_ = 0;
};

#pragma once

#include <QtGlobal>

#include <limits>

// A stretch of text in UTF-16 code units: where it starts and how long it is.
struct TextRange {
    // The position of something that was not found.
    static constexpr qint64 NotFound = std::numeric_limits<qint64>::max();

    qint64 location = 0;
    qint64 length = 0;

    qint64 end() const { return location + length; }
    bool operator==(const TextRange &) const = default;
};

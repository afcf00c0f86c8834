#pragma once

#include <QString>
#include <QVariant>

// The backend's wrappers of large-object cells, told apart by their Java class:
// "nl/dalmerik/vorn/CharacterWrapper" (a character large object and its text) and
// "nl/dalmerik/vorn/BinaryWrapper" (a binary value, which may be NULL).
namespace VornCellWrapper
{
enum class Kind { None, Character, Binary };

Kind kindOf(const QVariant &cell);
// The text of a character wrapper; null for SQL NULL or another cell.
QString stringValue(const QVariant &cell);
// Whether a binary wrapper holds SQL NULL.
bool isNull(const QVariant &cell);
} // namespace VornCellWrapper

#pragma once

#include <QString>

#include <optional>

// How the assistants read what the user typed.
namespace DdlInput
{
// A name trimmed of white space and line ends; nothing when a character is not a letter a-z or A-Z,
// a digit or "_". An empty field is an empty name.
std::optional<QString> identifier(const QString &text);
// A whole integer, trimmed; nothing for an empty field or one with anything but the number.
std::optional<qlonglong> integer(const QString &text);
} // namespace DdlInput

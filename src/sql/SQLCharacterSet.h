#pragma once

#include <QString>

#include <array>

// A set of UTF-16 code units kept as a bitmap, so that the tokenizer tests membership with one
// lookup per character.
class SQLCharacterSet
{
public:
    SQLCharacterSet() = default;

    static SQLCharacterSet characterSetWithCharactersInString(const QString &characters);
    // Space, tab and the other Unicode space separators; no line breaks.
    static SQLCharacterSet whitespaceCharacterSet();

    void addCharacter(char16_t character) { bits_[character >> 6] |= quint64(1) << (character & 63); }
    bool characterIsMember(char16_t character) const
    {
        return (bits_[character >> 6] >> (character & 63)) & 1;
    }

private:
    std::array<quint64, 1024> bits_{};
};

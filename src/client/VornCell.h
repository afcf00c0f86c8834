#pragma once

#include <QAnyStringView>
#include <QString>

// One cell of a fetched row as the backend shows it: SQL NULL, text, a character large object (with its
// text, which may be NULL) or a binary value (which may be NULL). The text is a view into the row's
// storage (Latin-1 or UTF-16): it lives as long as the VornRow it came from.
struct VornCell {
    enum class Kind : quint8 { Null, Text, CharacterLob, CharacterLobNull, Binary, BinaryNull };

    Kind kind = Kind::Null;
    QAnyStringView text;

    // The text of a text cell or a character large object (an empty text stays apart from NULL); a null
    // string for every NULL and binary value.
    QString string() const
    {
        if (kind != Kind::Text && kind != Kind::CharacterLob)
            return QString();
        return text.isEmpty() ? QStringLiteral("") : text.toString();
    }
};

#pragma once

#include <QString>

class SQLInterpreterComponent;

// One output token of the statement formatter with its spacing and line-break wishes.
class SQLInterpreterFormatComponent
{
public:
    SQLInterpreterFormatComponent(const QString &string, qint64 depth, const SQLInterpreterComponent *source)
        : string(string), depth(depth), source(source)
    {
    }

    QString description() const;

    bool newLineBefore = false;
    bool newLineAfter = false;
    bool hideSpaceBefore = false;
    // No blank, and no line break, between this token and the next.
    bool hideSpaceAfter = false;
    QString string;
    qint64 depth = 0;
    // The component the token came from, to tell what stood next to what in the input.
    const SQLInterpreterComponent *source = nullptr;
};

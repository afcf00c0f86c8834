#pragma once

#include <QDateTime>
#include <QString>

// One source text converted for its column: nothing (no text), text, a number (as plain decimal text)
// or a moment; or a text the column's format does not take.
struct ImportValue {
    enum Kind { Missing, Text, Number, DateTime, Invalid };
    Kind kind = Missing;
    QString text;
    QDateTime dateTime;

    // The text the backend takes: numbers with "." as decimal separator, moments as
    // "yyyy-MM-dd HH:mm:ss.zzz" (milliseconds kept); empty for Missing and Invalid.
    QString backendText() const;
};

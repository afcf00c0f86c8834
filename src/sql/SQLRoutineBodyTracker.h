#pragma once

#include "sql/SQLParserComponent.h"

#include <array>

// Follows one statement component by component to tell whether a separator in it ends it. In
// CREATE [OR REPLACE] FUNCTION or PROCEDURE, a BEGIN … END body (BEGIN ATOMIC) holds statements of
// its own with their separators; CASE … END inside such a body nests. Only words outside
// parentheses count, so a parameter named "begin" opens nothing. This is psql's rule, so a script
// splits here as it splits there.
class SQLRoutineBodyTracker
{
public:
    // A component of the statement, in text order.
    void take(quint64 type, QStringView text);
    bool separatorEndsStatement() const { return beginDepth_ == 0; }
    void reset() { *this = SQLRoutineBodyTracker(); }

private:
    bool inRoutineDefinition() const;

    // The first letters of the statement's leading words, for those words that can start a
    // routine definition (create, or, replace, function, procedure); 0 for any other word.
    std::array<char16_t, 4> leadingWords_{};
    int wordCount_ = 0;
    int parenthesisDepth_ = 0;
    int beginDepth_ = 0;
};

#pragma once

#include "sql/SQLParserComponent.h"

#include <QList>
#include <QString>

// One function or procedure a package declares: its name and keyword as written, the pop-up title
// ("3 function name", numbered from 1 in its list) and the 1-based line of the name.
struct ProcedureMember {
    QString name;
    QString type;
    QString resultName;
    qint64 line = 0;
    bool operator==(const ProcedureMember &other) const = default;
};
using ProcedureMembers = QList<ProcedureMember>;

// The members declared in parsed package text, in one pass: the identifier after the keyword
// "function" or "procedure" (any case, across blanks, comments and line breaks) is a member's name.
// A quoted name is not taken.
ProcedureMembers selectableProceduresInParsedComponents(const SQLParserComponentList &components);

// The index of the member the caret line lies in: the last whose line is not below the caret; -1 when
// the first already lies below it or there are none.
int memberIndexForCaretLine(const ProcedureMembers &members, qint64 caretLine);

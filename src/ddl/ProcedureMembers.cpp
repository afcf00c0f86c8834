#include "ddl/ProcedureMembers.h"

ProcedureMembers selectableProceduresInParsedComponents(const SQLParserComponentList &components)
{
    ProcedureMembers members;
    qint64 line = 1;
    QString pendingKeyword;
    for (const SQLParserComponentPtr &component : components) {
        if (component->parserComponentType() == SQLParserComponent::Identifier) {
            const QString &word = component->string();
            const QString lower = word.toLower();
            if (lower == QLatin1String("function") || lower == QLatin1String("procedure")) {
                pendingKeyword = word;
            } else if (!pendingKeyword.isNull()) {
                const QString resultName =
                    QStringLiteral("%1 %2 %3").arg(members.size() + 1).arg(pendingKeyword, word);
                members.append({word, pendingKeyword, resultName, line});
                pendingKeyword = QString();
            }
        }
        line += component->newlines();
    }
    return members;
}

int memberIndexForCaretLine(const ProcedureMembers &members, qint64 caretLine)
{
    if (members.isEmpty() || members.first().line > caretLine)
        return -1;
    int chosen = 0;
    for (int i = 0; i < members.size() && members.at(i).line <= caretLine; ++i)
        chosen = i;
    return chosen;
}

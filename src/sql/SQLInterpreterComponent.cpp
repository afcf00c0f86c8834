#include "sql/SQLInterpreterComponent.h"

SQLInterpreterComponent::SQLInterpreterComponent(SQLParserComponentPtr parserComponent)
    : parserComponent_(std::move(parserComponent))
{
}

SQLInterpreterComponent::~SQLInterpreterComponent() = default;

SQLInterpreterComponentPtr SQLInterpreterComponent::referingTable()
{
    if (interpreterComponentType_ == TableName)
        return shared_from_this();
    return refers_ ? refers_->referingTable() : nullptr;
}

const QString &SQLInterpreterComponent::text() const
{
    static const QString none;
    return parserComponent_ ? parserComponent_->string() : none;
}

quint64 SQLInterpreterComponent::parserType() const
{
    return parserComponent_ ? parserComponent_->parserComponentType() : quint64(SQLParserComponent::None);
}

bool SQLInterpreterComponent::hasText(const QString &text) const
{
    return parserComponent_ && parserComponent_->string() == text;
}

QString SQLInterpreterComponent::roleName(quint64 role)
{
    switch (role) {
    case Prefix:
        return QStringLiteral("Prefix");
    case None:
        return QStringLiteral("None");
    case Select:
        return QStringLiteral("Select");
    case Where:
        return QStringLiteral("Where");
    case From:
        return QStringLiteral("From");
    case Insert:
        return QStringLiteral("Insert");
    case Update:
        return QStringLiteral("Update");
    case Set:
        return QStringLiteral("Set");
    case Into:
        return QStringLiteral("Into");
    case SchemaName:
        return QStringLiteral("SchemaName");
    case TableName:
        return QStringLiteral("TableName");
    case TableAlias:
        return QStringLiteral("TableAlias");
    case ColumnName:
        return QStringLiteral("ColumnName");
    case ColumnNameAlias:
        return QStringLiteral("ColumnNameAlias");
    case JoinPrefix:
        return QStringLiteral("JoinPrefix");
    case Join:
        return QStringLiteral("Join");
    case On:
        return QStringLiteral("On");
    case FunctionCall:
        return QStringLiteral("FunctionCall");
    default:
        return QStringLiteral("UNKNOWN %1").arg(qint64(role));
    }
}

QString SQLInterpreterComponent::description() const
{
    QString text =
        QStringLiteral("SQLInterpreterComponent type %1, s=%2 f=%3 w=%4 g=%5 o=%6 termPosition=%7 %8")
            .arg(roleName(interpreterComponentType_))
            .arg(int(inSelectClause_))
            .arg(int(inFromClause_))
            .arg(int(inWhereClause_))
            .arg(int(inGroupBy_))
            .arg(int(inOrderBy_))
            .arg(termPosition_)
            .arg(parserComponent_ ? parserComponent_->description() : QString());
    if (refers_)
        text += QStringLiteral(" (refers %1)").arg(refers_->description());
    return text;
}

#include "client/JavaCall.h"
#include "client/VornResultset.h"

QString VornResultset::queryPartForColumnValueAndOperator(const QString &columnName, const QString &value,
                                                          const QString &operatorCode) const
{
    return JavaCall::send(object_, QStringLiteral("queryPartForColumnValueAndOperator:::"),
                          {columnName, value, operatorCode})
        .toString();
}

QString VornResultset::queryPartForColumnAndValue(const QString &columnName, const QString &value,
                                                  bool negative) const
{
    const QVariant javaValue = value.isNull() ? QVariant() : QVariant(value);
    return JavaCall::send(object_, QStringLiteral("queryPartForColumnAndValue:::"),
                          {columnName, javaValue, negative})
        .toString();
}

QString VornResultset::inQueryForColumnAndValues(const QString &columnName, const QStringList &values,
                                                 bool negative) const
{
    return JavaCall::send(object_, QStringLiteral("inQueryForColumnAndValues:::"),
                          {columnName, values, negative})
        .toString();
}

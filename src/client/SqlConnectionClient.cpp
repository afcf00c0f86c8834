#include "client/SqlConnectionClient.h"

#include "bridge/JavaUtils.h"
#include "client/JavaCall.h"

SqlConnectionClient::SqlConnectionClient(QoJavaObjectPtr connection) : connection_(std::move(connection)) {}
SqlConnectionClient::SqlConnectionClient() = default;
SqlConnectionClient::~SqlConnectionClient() = default;

std::optional<bool> SqlConnectionClient::executable(const QString &sql)
{
    JavaCall::takeFailure();
    const bool answer = JavaCall::send(connection_, QStringLiteral("executable:"), {sql}).toBool();
    if (JavaCall::hasFailure())
        return std::nullopt;
    return answer;
}

bool SqlConnectionClient::executeQuery(const QString &sql, const QVariantList &parameters)
{
    JavaCall::takeFailure(); // the outcome is this statement's alone
    if (!connection_)
        return false;
    const QVariant values = QVariant::fromValue(JavaUtils::vectorFromArray(parameters));
    return JavaCall::send(connection_, QStringLiteral("executeQuery::"), {sql, values}).toBool();
}

int SqlConnectionClient::resultCount() const
{
    return connection_ ? JavaCall::send(connection_, QStringLiteral("resultCount")).toInt() : -1;
}

QString SqlConnectionClient::statementType() const
{
    return JavaCall::send(connection_, QStringLiteral("statementType")).toString();
}

void SqlConnectionClient::cancelQuery()
{
    JavaCall::send(connection_, QStringLiteral("cancelQuery"));
}

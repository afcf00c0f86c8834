#include "client/VornAnalyserClient.h"

#include "bridge/JavaUtils.h"
#include "client/JavaCall.h"

VornAnalyserClient::VornAnalyserClient(QoJavaObjectPtr analyser) : analyser_(std::move(analyser)) {}
VornAnalyserClient::VornAnalyserClient() = default;
VornAnalyserClient::~VornAnalyserClient() = default;

bool VornAnalyserClient::planTableAvailable()
{
    JavaCall::takeFailure();
    return JavaCall::send(analyser_, QStringLiteral("planTableAvailable")).toBool();
}

QVariantMap VornAnalyserClient::getPlanTable(const QString &sql)
{
    JavaCall::takeFailure(); // the outcome is this plan's alone
    const QVariant plan = JavaCall::send(analyser_, QStringLiteral("getPlanTable:"), {sql});
    return JavaUtils::recursiveCollectionsFromJavaObject(plan).toMap();
}

QString VornAnalyserClient::query() const
{
    return JavaCall::send(analyser_, QStringLiteral("query")).toString();
}

void VornAnalyserClient::createPlanTable(const QString &userName, const QString &password,
                                         const QString &server, const QString &port, const QString &database)
{
    JavaCall::takeFailure();
    JavaCall::send(analyser_, QStringLiteral("createPlanTable:::::"),
                   {userName, password, server, port, database});
}

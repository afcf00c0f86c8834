#include "client/VornElementActionsClient.h"

#include "client/JavaCall.h"
#include "client/VornRootClient.h"

std::shared_ptr<VornElementActionsClient> VornElementActionsClient::ofRoot(const VornRootClient &root)
{
    QoJavaObjectPtr browser = JavaCall::object(root.object(), QStringLiteral("browser"));
    return browser ? std::make_shared<VornElementActionsClient>(std::move(browser)) : nullptr;
}

VornElementActionsClient::VornElementActionsClient(QoJavaObjectPtr browser) : browser_(std::move(browser)) {}

BackendOutcome VornElementActionsClient::outcomeOf(const QString &selector, const QVariantList &args)
{
    JavaCall::takeFailure(); // the outcome is this action's alone
    JavaCall::send(browser_, selector, args);
    const QString bridgeFailure = JavaCall::takeFailure();
    if (!bridgeFailure.isNull())
        return BackendOutcome::failure(bridgeFailure);
    const QoJavaObjectPtr root = JavaCall::object(browser_, QStringLiteral("root"));
    if (JavaCall::send(root, QStringLiteral("lastActionSuccessful")).toBool())
        return BackendOutcome::success();
    const QString message = JavaCall::send(root, QStringLiteral("lastErrorMessage")).toString();
    const QString failure = JavaCall::takeFailure();
    return BackendOutcome::failure(failure.isNull() ? message : failure);
}

BackendOutcome VornElementActionsClient::truncateElement(const QString &schema, const QString &type,
                                                         const QString &name, bool cascade)
{
    return outcomeOf(QStringLiteral("truncateElement::::"), {schema, type, name, cascade});
}

BackendOutcome VornElementActionsClient::dropElement(const QString &schema, const QString &type,
                                                     const QString &name)
{
    return outcomeOf(QStringLiteral("dropElement:::"), {schema, type, name});
}

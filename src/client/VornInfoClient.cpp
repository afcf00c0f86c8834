#include "client/VornInfoClient.h"

#include "bridge/JavaUtils.h"
#include "client/JavaCall.h"
#include "client/VornRootClient.h"

namespace
{
QString s(const char *selector)
{
    return QString::fromLatin1(selector);
}
} // namespace

VornInfoClient::VornInfoClient(QoJavaObjectPtr info) : info_(std::move(info)) {}
VornInfoClient::VornInfoClient() = default;
VornInfoClient::~VornInfoClient() = default;

bool VornInfoClient::ask(const char *selector) const
{
    return JavaCall::send(info_, s(selector)).toBool();
}

QVariantMap VornInfoClient::genericInfo() const
{
    return JavaUtils::recursiveCollectionsFromJavaObject(JavaCall::send(info_, s("genericInfo"))).toMap();
}

void VornInfoClient::fillOutGenericInfo()
{
    JavaCall::send(info_, s("fillOutGenericInfo"));
}

bool VornInfoClient::couldContainTriggerInfo() const
{
    return ask("couldContainTriggerInfo");
}

bool VornInfoClient::couldContainIndexInfo() const
{
    return ask("couldContainIndexInfo");
}

bool VornInfoClient::couldContainConstraintInfo() const
{
    return ask("couldContainConstraintInfo");
}

bool VornInfoClient::couldContainPartitionInfo() const
{
    return ask("couldContainPartitionInfo");
}

bool VornInfoClient::couldContainDdlInfo() const
{
    return ask("couldContainDdlInfo");
}

bool VornInfoClient::couldContainIndexColumnInfo() const
{
    return ask("couldContainIndexColumnInfo");
}

QVariantList VornInfoClient::columns()
{
    return JavaUtils::recursiveCollectionsFromJavaObject(JavaCall::send(info_, s("columns"))).toList();
}

QVariantMap VornInfoClient::indexes()
{
    return JavaUtils::recursiveCollectionsFromJavaObject(JavaCall::send(info_, s("indexes"))).toMap();
}

QVariantList VornInfoClient::constraints()
{
    return JavaUtils::recursiveCollectionsFromJavaObject(JavaCall::send(info_, s("constraints"))).toList();
}

QStringList VornInfoClient::triggers()
{
    return JavaCall::strings(JavaCall::send(info_, s("triggers")));
}

QString VornInfoClient::ddl()
{
    return JavaCall::send(info_, s("ddl")).toString();
}

bool VornInfoClient::canObtainInfoFor(const QString &name, const QString &type) const
{
    return JavaCall::send(info_, s("canObtainInfoFor::"), {name, type}).toBool();
}

bool VornInfoClient::reserveBackgroundRoot(const QString &reason)
{
    return JavaCall::send(info_, s("reserveBackgroundRoot:"), {reason}).toBool();
}

bool VornInfoClient::reserveForegroundRoot(const QString &reason)
{
    return JavaCall::send(info_, s("reserveForegroundRoot:"), {reason}).toBool();
}

void VornInfoClient::releaseReservedRoot()
{
    JavaCall::send(info_, s("releaseReservedRoot"));
}

void VornInfoClient::endConnection()
{
    JavaCall::send(info_, s("endConnection"));
}

std::shared_ptr<VornRootClient> VornInfoClient::root() const
{
    QoJavaObjectPtr root = JavaCall::object(info_, s("root"));
    return root ? std::make_shared<VornRootClient>(std::move(root)) : nullptr;
}

namespace
{
// The second identifier crosses as Java null when the session has only one.
QVariant optional(const QString &value)
{
    return value.isNull() ? QVariant() : QVariant(value);
}
} // namespace

std::optional<QVariantList> VornInfoClient::sessionData(const QString &query, const QString &first,
                                                        const QString &second, bool transpose,
                                                        float waitSeconds)
{
    const QVariant rows = JavaCall::send(info_, s("sessionData:::::"),
                                         {query, first, optional(second), transpose, waitSeconds});
    if (!rows.isValid() || rows.isNull())
        return std::nullopt;
    return JavaUtils::recursiveCollectionsFromJavaObject(rows).toList();
}

BackendOutcome VornInfoClient::sessionAction(const QString &query, const QString &first,
                                             const QString &second)
{
    JavaCall::takeFailure();
    JavaCall::send(info_, s("sessionAction:::"), {query, first, optional(second)});
    const std::shared_ptr<VornRootClient> owner = root();
    if (!owner)
        return BackendOutcome::failure(JavaCall::takeFailure());
    return owner->lastOutcome();
}

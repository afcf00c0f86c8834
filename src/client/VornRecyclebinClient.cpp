#include "client/VornRecyclebinClient.h"

#include "bridge/JavaUtils.h"
#include "client/JavaCall.h"

VornRecyclebinClient::VornRecyclebinClient(QoJavaObjectPtr recyclebin) : recyclebin_(std::move(recyclebin)) {}
VornRecyclebinClient::VornRecyclebinClient() = default;
VornRecyclebinClient::~VornRecyclebinClient() = default;

void VornRecyclebinClient::update()
{
    JavaCall::takeFailure(); // the outcome is this listing's alone
    JavaCall::send(recyclebin_, QStringLiteral("update"));
}

QVariantList VornRecyclebinClient::items() const
{
    return JavaUtils::recursiveCollectionsFromJavaObject(JavaCall::send(recyclebin_, QStringLiteral("items")))
        .toList();
}

bool VornRecyclebinClient::isFilled() const
{
    return JavaCall::send(recyclebin_, QStringLiteral("isFilled")).toBool();
}

void VornRecyclebinClient::flashBackObject(const QString &type, const QString &name)
{
    JavaCall::takeFailure();
    JavaCall::send(recyclebin_, QStringLiteral("flashBackObject::"), {type, name});
}

void VornRecyclebinClient::purgeObject(const QString &type, const QString &name)
{
    JavaCall::takeFailure();
    JavaCall::send(recyclebin_, QStringLiteral("purgeObject::"), {type, name});
}

void VornRecyclebinClient::purgeBin()
{
    JavaCall::takeFailure();
    JavaCall::send(recyclebin_, QStringLiteral("purgeBin"));
}

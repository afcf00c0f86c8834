#include "client/VornActivityClient.h"

#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "client/JavaCall.h"

struct VornActivityClient::Singleton {
    QoJavaObjectPtr object;
};

std::shared_ptr<VornActivityClient> VornActivityClient::shared()
{
    QoJavaBridge *bridge = QoJavaBridge::javaBridge();
    const QoJavaClass *activity = bridge ? bridge->classForName(QString::fromLatin1(className)) : nullptr;
    const QVariant instance = JavaCall::sendStatic(activity, QStringLiteral("getInstance"));
    const auto object = instance.value<QoJavaObjectPtr>();
    if (!object)
        return nullptr;
    std::shared_ptr<VornActivityClient> client(new VornActivityClient);
    client->singleton_ = std::make_shared<Singleton>(Singleton{object});
    return client;
}

VornActivityClient::VornActivityClient() = default;
VornActivityClient::~VornActivityClient() = default;

bool VornActivityClient::changed()
{
    return JavaCall::send(singleton_->object, QStringLiteral("changed")).toBool();
}

QVariantList VornActivityClient::rootSettings(bool includeParents)
{
    const QVariant list =
        JavaCall::send(singleton_->object, QStringLiteral("rootSettingsIncludeParents:"), {includeParents});
    return JavaUtils::recursiveCollectionsFromJavaObject(list).toList();
}

qint64 VornActivityClient::connectedCount()
{
    return JavaCall::send(singleton_->object, QStringLiteral("connectedCount")).toLongLong();
}

qint64 VornActivityClient::activeCount()
{
    return JavaCall::send(singleton_->object, QStringLiteral("activeCount")).toLongLong();
}

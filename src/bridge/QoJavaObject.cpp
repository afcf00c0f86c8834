#include "bridge/QoJavaObject.h"

#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"

QoJavaObjectPtr QoJavaObject::objectWithReference(jobject globalReference, const QoJavaClass *javaClass,
                                                  QoJavaBridge *bridge)
{
    return std::make_shared<QoJavaObject>(globalReference, javaClass, bridge);
}

QoJavaObject::QoJavaObject(jobject globalReference, const QoJavaClass *javaClass, QoJavaBridge *bridge)
    : reference_(globalReference), javaClass_(javaClass), bridge_(bridge)
{
}

QoJavaObject::~QoJavaObject()
{
    if (!weak_)
        bridge_->deallocateObject(reference_);
}

QString QoJavaObject::className() const
{
    return javaClass_->name();
}

QVariant QoJavaObject::call(const QString &selector, const QVariantList &args) const
{
    if (javaClass_->refusesSelector(selector))
        return {};
    return bridge_->callMethod(javaClass_->methodsForSelector(selector), javaClass_, reference_, args);
}

QString QoJavaObject::description() const
{
    return call(QStringLiteral("toString")).toString();
}

bool QoJavaObject::isEqualTo(const QoJavaObjectPtr &other) const
{
    return call(QStringLiteral("equals:"), {QVariant::fromValue(other)}).toBool();
}

bool QoJavaObject::isSameObject(const QoJavaObject &other) const
{
    JNIEnv *env = bridge_->environment();
    return env && env->IsSameObject(reference_, other.reference_);
}

#include "bridge/QoJavaClass.h"

#include "bridge/BridgeLog.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaBridgeException.h"

#include <QDebug>

QoJavaClass::QoJavaClass(jclass globalReference, QString name, QoJavaBridge *bridge)
    : reference_(globalReference), name_(std::move(name)), bridge_(bridge)
{
}

QoJavaClass::~QoJavaClass() = default;

QString QoJavaClass::description() const
{
    return QStringLiteral("QoJavaClass: %1").arg(name_);
}

void QoJavaClass::debug() const
{
    auto dump = [](const auto &table) {
        QStringList lines;
        for (auto it = table.cbegin(); it != table.cend(); ++it)
            lines << it.key();
        lines.sort();
        return lines.join(QLatin1Char('\n'));
    };
    qCInfo(lcBridge).noquote()
        << QStringLiteral("Debugging class %1").arg(name_) << "\n\n"
        << QStringLiteral("Instance methods by name\n%1").arg(dump(namedMethodCache_)) << "\n\n"
        << QStringLiteral("Instance methods by signature\n%1").arg(dump(namedSignaturedMethodCache_))
        << "\n\n"
        << QStringLiteral("Class methods by name\n%1").arg(dump(staticNamedMethodCache_)) << "\n\n"
        << QStringLiteral("Class methods by signature\n%1").arg(dump(staticNamedSignaturedMethodCache_));
}

QVariant QoJavaClass::callStatic(const QString &selector, const QVariantList &args) const
{
    if (refusesSelector(selector))
        return {};
    return bridge_->callMethod(staticMethodsForSelector(selector), this, nullptr, args);
}

QoJavaObjectPtr QoJavaClass::newObject() const
{
    const QoJavaMethod *constructor = methodForSelectorAndSignature(QStringLiteral("<init>"), "()V");
    if (!constructor)
        throw QoJavaBridgeException(QStringLiteral("QoJavaBridgeConstructorNotFound"),
                                    QStringLiteral("Empty constructor not found for %1").arg(description()));
    return bridge_->createObject(this, *constructor, {});
}

QoJavaObjectPtr QoJavaClass::newObject(const QString &signature, const QVariantList &args) const
{
    const QoJavaMethod *constructor = methodForSelectorAndSignature(QStringLiteral("<init>"), signature);
    if (!constructor)
        throw QoJavaBridgeException(
            QStringLiteral("QoJavaBridgeConstructorNotFound"),
            QStringLiteral("Constructor with signature %1 not found for %2").arg(signature, description()));
    return bridge_->createObject(this, *constructor, args);
}

bool QoJavaClass::refusesSelector(const QString &selector) const
{
    if (selector != QLatin1String("<init>"))
        return false;
    qCWarning(lcBridge).noquote()
        << QStringLiteral("Constructors answer no selector: <init> of %1 not called, use newObject")
               .arg(name_);
    return true;
}

QList<const QoJavaMethod *> QoJavaClass::methodsForSelector(const QString &selector) const
{
    return lookup(namedMethodCache_, selector);
}

QList<const QoJavaMethod *> QoJavaClass::staticMethodsForSelector(const QString &selector) const
{
    return lookup(staticNamedMethodCache_, selector);
}

const QoJavaMethod *QoJavaClass::methodForSelectorAndSignature(const QString &selector,
                                                               const QString &signature) const
{
    return namedSignaturedMethodCache_.value(selector + QLatin1Char('-') + signature);
}

const QoJavaMethod *QoJavaClass::staticMethodForSelectorAndSignature(const QString &selector,
                                                                     const QString &signature) const
{
    return staticNamedSignaturedMethodCache_.value(selector + QLatin1Char('-') + signature);
}

QList<const QoJavaMethod *> QoJavaClass::lookup(const MethodTable &table, const QString &selector) const
{
    auto it = table.constFind(selector);
    if (it == table.constEnd() || it->isEmpty())
        throw QoJavaBridgeException(QStringLiteral("QoJavaBridgeMethodNotFound"),
                                    QStringLiteral("Method %1 not found").arg(selector));
    return *it;
}

void QoJavaClass::addMethod(std::unique_ptr<QoJavaMethod> method)
{
    if (method->kind() == QoJavaMethod::Kind::Unsupported) {
        qCWarning(lcBridge).noquote() << QStringLiteral("Unknown method result type isn't supported %1 %2 %3")
                                             .arg(method->returnType(), method->name(), method->signature());
        return;
    }
    if (namedSignaturedMethodCache_.contains(method->selectorName() + QLatin1Char('-') +
                                             method->signature())) {
        qCWarning(lcBridge).noquote()
            << QStringLiteral("WARNING will add method %1, for class %2, while such a method "
                              "is allready defined.")
                   .arg(method->selectorName(), name_);
        qCWarning(lcBridge).noquote() << QStringLiteral("Adding to %1").arg(name_);
    }
    record(std::move(method), namedMethodCache_, namedSignaturedMethodCache_);
}

void QoJavaClass::addStaticMethod(std::unique_ptr<QoJavaMethod> method)
{
    if (method->kind() == QoJavaMethod::Kind::Unsupported) {
        qCWarning(lcBridge).noquote()
            << QStringLiteral("Unknown static method result type isn't supported %1 %2 %3")
                   .arg(method->returnType(), method->name(), method->signature());
        return;
    }
    record(std::move(method), staticNamedMethodCache_, staticNamedSignaturedMethodCache_);
}

void QoJavaClass::record(std::unique_ptr<QoJavaMethod> method, MethodTable &byName,
                         QHash<QString, const QoJavaMethod *> &bySignature)
{
    const QString selector = method->selectorName();
    // A constructor called on an existing object, or without one, would corrupt the VM.
    if (method->name() != QLatin1String("<init>")) {
        QList<const QoJavaMethod *> &candidates = byName[selector];
        candidates.removeIf(
            [&](const QoJavaMethod *known) { return known->parameterTypes() == method->parameterTypes(); });
        candidates.append(method.get());
    }
    bySignature.insert(selector + QLatin1Char('-') + method->signature(), method.get());
    methods_.push_back(std::move(method));
}

#include "bridge/QoJavaMethod.h"

#include <QHash>

QoJavaMethod::QoJavaMethod(jmethodID methodId, QString name, QString signature, QString returnType,
                           QStringList parameterTypes)
    : methodId_(methodId), name_(std::move(name)), signature_(std::move(signature)),
      returnType_(std::move(returnType)), parameterTypes_(std::move(parameterTypes)),
      kind_(kindOfType(returnType_))
{
}

QString QoJavaMethod::selectorName() const
{
    if (name_ == QLatin1String("<init>"))
        return name_;
    return name_ + QString(parameterCount(), QLatin1Char(':'));
}

QString QoJavaMethod::description() const
{
    return QStringLiteral("QoJavaMethod: %1 %2(%3) - %4")
        .arg(name_, returnType_, parameterTypes_.join(QLatin1String(", ")), signature_);
}

QString QoJavaMethod::methodSignature(const QString &returnType, const QStringList &parameterTypes)
{
    QString signature = QStringLiteral("(");
    for (const QString &type : parameterTypes)
        signature += signatureCode(type);
    return signature + QLatin1Char(')') + signatureCode(returnType);
}

QString QoJavaMethod::signatureCode(const QString &className)
{
    static const QHash<QString, QString> primitives{{"boolean", "Z"}, {"byte", "B"},  {"char", "C"},
                                                    {"double", "D"},  {"float", "F"}, {"int", "I"},
                                                    {"long", "J"},    {"short", "S"}, {"void", "V"}};
    if (className.isEmpty())
        return QStringLiteral("V");
    if (auto it = primitives.constFind(className); it != primitives.constEnd())
        return *it;
    QString slashed = className;
    slashed.replace(QLatin1Char('.'), QLatin1Char('/'));
    if (slashed.startsWith(QLatin1Char('[')))
        return slashed;
    return QStringLiteral("L%1;").arg(slashed);
}

QoJavaMethod::Kind QoJavaMethod::kindOfType(const QString &returnType)
{
    static const QHash<QString, Kind> primitives{
        {"void", Kind::Void},   {"boolean", Kind::Boolean}, {"long", Kind::Long},
        {"int", Kind::Int},     {"char", Kind::Char},       {"byte", Kind::Byte},
        {"short", Kind::Short}, {"float", Kind::Float},     {"double", Kind::Double}};
    if (auto it = primitives.constFind(returnType); it != primitives.constEnd())
        return *it;
    // Object types carry a package; arrays of any kind are objects too.
    if (returnType.contains(QLatin1Char('.')) || returnType.startsWith(QLatin1Char('[')))
        return Kind::Object;
    return Kind::Unsupported;
}

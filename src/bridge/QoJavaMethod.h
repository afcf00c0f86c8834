#pragma once

#include <QString>
#include <QStringList>

#include <jni.h>

// One reflected Java method or constructor; immutable after creation.
// Type names are as Java reflection reports them: "void", "int", "java.lang.String", "[I".
class QoJavaMethod
{
public:
    // How a call's result is read, from the Java return type.
    enum class Kind { Void, Boolean, Long, Int, Char, Byte, Short, Float, Double, Object, Unsupported };

    QoJavaMethod(jmethodID methodId, QString name, QString signature, QString returnType,
                 QStringList parameterTypes);

    jmethodID methodId() const { return methodId_; }
    QString name() const { return name_; }
    QString signature() const { return signature_; }
    QString returnType() const { return returnType_; }
    const QStringList &parameterTypes() const { return parameterTypes_; }
    int parameterCount() const { return int(parameterTypes_.size()); }
    Kind kind() const { return kind_; }

    bool isVoid() const { return returnType_ == QLatin1String("void"); }
    bool isObject() const { return returnType_.contains(QLatin1Char('.')); }
    bool isObjectArray() const { return returnType_.startsWith(QLatin1Char('[')) && isObject(); }
    bool isNativeArray() const { return returnType_.startsWith(QLatin1Char('[')) && !isObject(); }

    // "name" followed by one ':' per parameter; constructors ("<init>") get none.
    QString selectorName() const;
    QString description() const;

    // The kind a Java type name reads as: primitives by name; names with a package and arrays are
    // objects; anything else (a class outside any package) is unsupported.
    static Kind kindOfType(const QString &typeName);
    static bool isPrimitive(Kind kind)
    {
        return kind != Kind::Object && kind != Kind::Unsupported && kind != Kind::Void;
    }

    // "(" + parameter codes + ")" + return code, e.g. "(ILjava/lang/String;)V".
    static QString methodSignature(const QString &returnType, const QStringList &parameterTypes);
    // "int" -> "I", "java.lang.String" -> "Ljava/lang/String;", "[I" -> "[I", "" -> "V".
    static QString signatureCode(const QString &className);

private:
    jmethodID methodId_;
    QString name_;
    QString signature_;
    QString returnType_;
    QStringList parameterTypes_;
    Kind kind_;
};

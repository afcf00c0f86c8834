#pragma once

#include "bridge/QoJavaMethod.h"
#include "bridge/QoJavaObject.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <jni.h>
#include <memory>
#include <vector>

class QoJavaBridge;

// A mirrored Java class: its public methods and constructors by selector name ("name" plus one ':'
// per parameter). Owned by the bridge's class cache and kept for the life of the process; the
// method tables are written only while the bridge builds the class and only read afterwards.
class QoJavaClass
{
public:
    QoJavaClass(jclass globalReference, QString name, QoJavaBridge *bridge);
    QoJavaClass(const QoJavaClass &) = delete;
    QoJavaClass &operator=(const QoJavaClass &) = delete;
    ~QoJavaClass();

    jclass reference() const { return reference_; }
    // Slash form: "java/util/Vector".
    QString name() const { return name_; }
    QoJavaBridge *bridge() const { return bridge_; }
    QString description() const;
    void debug() const;

    // Calls a static method, e.g. callStatic("databaseTypeHasLocalDatabaseFileConnection:", {type}).
    // Throws QoJavaBridgeException "QoJavaBridgeMethodNotFound" when no static method answers.
    // Calls nothing (logged) for "<init>": constructors are reached through newObject only.
    QVariant callStatic(const QString &selector, const QVariantList &args = {}) const;
    // New objects through the public no-argument constructor, or the one with the given JNI
    // signature ("(I)V"). Throw "QoJavaBridgeConstructorNotFound" when there is none; a constructor
    // that throws in Java is reported like a failed call and gives null.
    QoJavaObjectPtr newObject() const;
    QoJavaObjectPtr newObject(const QString &signature, const QVariantList &args) const;

    // Instance and static methods answering a selector, oldest first. Several entries are overloads
    // of one name and arity. Throw "QoJavaBridgeMethodNotFound" when empty. Constructors answer no
    // selector: they are found by signature only.
    QList<const QoJavaMethod *> methodsForSelector(const QString &selector) const;
    QList<const QoJavaMethod *> staticMethodsForSelector(const QString &selector) const;
    // The method recorded under "selector-signature", or null.
    const QoJavaMethod *methodForSelectorAndSignature(const QString &selector,
                                                      const QString &signature) const;
    const QoJavaMethod *staticMethodForSelectorAndSignature(const QString &selector,
                                                            const QString &signature) const;

    // Record a reflected method (used while the class is built). A method with the same parameter
    // types as one already recorded replaces it: a covariant bridge method and the method it stands
    // for are one method to a caller.
    void addMethod(std::unique_ptr<QoJavaMethod> method);
    void addStaticMethod(std::unique_ptr<QoJavaMethod> method);

    // True, with a log line, for a selector that names a constructor: no call may be made with it.
    bool refusesSelector(const QString &selector) const;

private:
    using MethodTable = QHash<QString, QList<const QoJavaMethod *>>;
    void record(std::unique_ptr<QoJavaMethod> method, MethodTable &byName,
                QHash<QString, const QoJavaMethod *> &bySignature);
    QList<const QoJavaMethod *> lookup(const MethodTable &table, const QString &selector) const;

    jclass reference_;
    QString name_;
    QoJavaBridge *bridge_;
    std::vector<std::unique_ptr<QoJavaMethod>> methods_;
    MethodTable namedMethodCache_;
    QHash<QString, const QoJavaMethod *> namedSignaturedMethodCache_;
    MethodTable staticNamedMethodCache_;
    QHash<QString, const QoJavaMethod *> staticNamedSignaturedMethodCache_;
};

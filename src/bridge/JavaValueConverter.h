#pragma once

#include "bridge/QoJavaMethod.h"

#include <QString>
#include <QVariant>

#include <jni.h>
#include <optional>
#include <vector>

class QoJavaBridge;
class QoJavaClass;

// Native values to JNI arguments by the Java parameter types, and wrapper results back to native
// values. Objects made for a call are local references of the caller's local frame.
class JavaValueConverter
{
public:
    explicit JavaValueConverter(QoJavaBridge *bridge);

    // None, logged, when a number does not fit the parameter it is given for: no call is to be made.
    std::optional<std::vector<jvalue>> arguments(JNIEnv *env, const QoJavaMethod &method,
                                                 const QVariantList &args);
    // A Java object for a parameter of the given type (dotted name); null for an invalid value and
    // for a value that cannot become that type (logged).
    jobject objectArgument(JNIEnv *env, const QString &type, const QVariant &arg);
    // How well the arguments fit the method's parameters: 0 when one does not fit at all; more is
    // a closer fit. Tells overloads of one name and arity apart.
    int fit(JNIEnv *env, const QoJavaMethod &method, const QVariantList &args);

    // The native value of a java.lang wrapper (Integer, Long, Short, Byte, Double, Float, Boolean,
    // Character); invalid for any other class.
    QVariant unboxed(JNIEnv *env, const QoJavaClass &javaClass, jobject object);
    static QVariant primitiveResult(QoJavaMethod::Kind kind, jvalue value);

private:
    struct Wrapper;
    enum class ArgKind { Null, Proxy, String, Char, Bool, Integer, Floating, List, Map, Other };
    static ArgKind kindOf(const QVariant &arg);
    static const Wrapper *wrapperForType(const QString &type);
    static const Wrapper *wrapperForKind(QoJavaMethod::Kind kind);
    static const Wrapper *naturalWrapper(ArgKind kind, const QVariant &arg);
    static bool isScalar(ArgKind kind);
    static const Wrapper *boxingWrapper(const QString &type, const QVariant &arg);
    // None for a number beyond what an int or long holds; narrower kinds keep Java's cast.
    static std::optional<jvalue> primitiveValue(QoJavaMethod::Kind kind, const QVariant &arg);
    static bool fitsKind(QoJavaMethod::Kind kind, const QVariant &arg);
    int fitParameter(JNIEnv *env, const QString &type, const QVariant &arg);
    static int fitPrimitive(QoJavaMethod::Kind kind, ArgKind argKind, const QVariant &arg);
    static QString naturalClass(ArgKind kind, const QVariant &arg);
    jobject naturalObject(JNIEnv *env, ArgKind kind, const QVariant &arg);
    jobject box(JNIEnv *env, const Wrapper &wrapper, const QVariant &arg);
    jobject vectorFromList(JNIEnv *env, const QVariantList &list);
    jobject hashtableFromMap(JNIEnv *env, const QVariantMap &map);
    bool isAssignable(JNIEnv *env, jobject object, const QString &type);
    static void logUnconvertible(const QString &type, const QVariant &arg);
    static void logOutOfRange(const QString &type, const QVariant &arg);

    QoJavaBridge *bridge_;
};

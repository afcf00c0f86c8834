#include "bridge/JavaClassMirror.h"

#include "bridge/BridgeLog.h"
#include "bridge/JniSupport.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaBridgeException.h"
#include "bridge/QoJavaClass.h"
#include "bridge/QoJavaMethod.h"

using Jni::callInternal;
using Jni::LocalFrame;

struct JavaClassMirror::Reflection {
    jmethodID getMethods = nullptr;
    jmethodID getConstructors = nullptr;
    jmethodID methodGetName = nullptr;
    jmethodID methodGetReturnType = nullptr;
    jmethodID methodGetParameterTypes = nullptr;
    jmethodID constructorGetParameterTypes = nullptr;
    jmethodID classGetName = nullptr;
};

JavaClassMirror::JavaClassMirror(QoJavaBridge *bridge, ConfigErrorReport reportConfigError)
    : bridge_(bridge), reportConfigError_(std::move(reportConfigError)),
      reflection_(std::make_unique<Reflection>())
{
}

JavaClassMirror::~JavaClassMirror() = default;

void JavaClassMirror::preloadStandardClasses(JNIEnv *env)
{
    for (const char *name : {"java/lang/Class", "java/lang/System", "java/lang/String", "java/lang/Integer",
                             "java/util/Hashtable", "java/util/Vector", "java/lang/Boolean"})
        classForName(QString::fromLatin1(name), env);
}

QoJavaClass *JavaClassMirror::classForName(const QString &name, JNIEnv *env)
{
    if (!env)
        return nullptr;
    std::lock_guard lock(lock_);
    if (QoJavaClass *known = classCache_.value(name))
        return known;
    QString slashName = classNameCache_.value(name);
    if (slashName.isEmpty()) {
        slashName = QString(name).replace(QLatin1Char('.'), QLatin1Char('/'));
        classNameCache_.insert(name, slashName);
    }
    if (QoJavaClass *known = classCache_.value(slashName))
        return known;
    QoJavaClass *javaClass = createCompleteClass(slashName, env);
    classCache_.insert(slashName, javaClass);
    classCache_.insert(name, javaClass);
    return javaClass;
}

jclass JavaClassMirror::findClassReference(const QString &slashName, JNIEnv *env)
{
    std::lock_guard lock(lock_);
    if (jclass known = bareClassReferences_.value(slashName))
        return known;
    jclass local = env->FindClass(slashName.toUtf8().constData());
    if (!local) {
        env->ExceptionClear();
        return nullptr;
    }
    auto global = static_cast<jclass>(env->NewGlobalRef(local));
    env->DeleteLocalRef(local);
    bareClassReferences_.insert(slashName, global);
    return global;
}

jclass JavaClassMirror::bareClassReference(const QString &slashName, JNIEnv *env)
{
    if (jclass reference = findClassReference(slashName, env))
        return reference;
    reportConfigError_(QStringLiteral("No Class"),
                       QStringLiteral("Class '%1' couldn't be found.").arg(slashName));
    throw QoJavaBridgeException(QStringLiteral("QoJavaBridgeClassNotFound"),
                                QStringLiteral("Class '%1' couldn't be found").arg(slashName));
}

QoJavaClass *JavaClassMirror::createCompleteClass(const QString &slashName, JNIEnv *env)
{
    jclass reference = bareClassReference(slashName, env);
    prepareReflection(env);
    classes_.push_back(std::make_unique<QoJavaClass>(reference, slashName, bridge_));
    QoJavaClass &javaClass = *classes_.back();
    reflectMethods(javaClass, env);
    reflectConstructors(javaClass, env);
    return &javaClass;
}

void JavaClassMirror::prepareReflection(JNIEnv *env)
{
    Reflection &r = *reflection_;
    if (r.getMethods)
        return;
    jclass classClass = bareClassReference(QStringLiteral("java/lang/Class"), env);
    jclass methodClass = bareClassReference(QStringLiteral("java/lang/reflect/Method"), env);
    jclass constructorClass = bareClassReference(QStringLiteral("java/lang/reflect/Constructor"), env);
    r.getMethods = env->GetMethodID(classClass, "getMethods", "()[Ljava/lang/reflect/Method;");
    r.getConstructors = env->GetMethodID(classClass, "getConstructors", "()[Ljava/lang/reflect/Constructor;");
    r.classGetName = env->GetMethodID(classClass, "getName", "()Ljava/lang/String;");
    r.methodGetName = env->GetMethodID(methodClass, "getName", "()Ljava/lang/String;");
    r.methodGetReturnType = env->GetMethodID(methodClass, "getReturnType", "()Ljava/lang/Class;");
    r.methodGetParameterTypes = env->GetMethodID(methodClass, "getParameterTypes", "()[Ljava/lang/Class;");
    r.constructorGetParameterTypes =
        env->GetMethodID(constructorClass, "getParameterTypes", "()[Ljava/lang/Class;");
}

void JavaClassMirror::reflectMethods(QoJavaClass &javaClass, JNIEnv *env)
{
    const Reflection &r = *reflection_;
    LocalFrame frame(env);
    auto methods = static_cast<jobjectArray>(callInternal(env, javaClass.reference(), r.getMethods));
    if (!methods)
        return;
    const jsize count = env->GetArrayLength(methods);
    for (jsize i = 0; i < count; ++i) {
        LocalFrame methodFrame(env, 16);
        jobject method = env->GetObjectArrayElement(methods, i);
        const QString name =
            Jni::loadString(static_cast<jstring>(callInternal(env, method, r.methodGetName)), env);
        const QString returnType = classNameOf(callInternal(env, method, r.methodGetReturnType), env);
        const QStringList parameterTypes =
            classNames(static_cast<jobjectArray>(callInternal(env, method, r.methodGetParameterTypes)), env);
        const QString signature = QoJavaMethod::methodSignature(returnType, parameterTypes);
        const QByteArray utf8Name = name.toUtf8(), utf8Signature = signature.toUtf8();
        bool isStatic = false;
        jmethodID id =
            env->GetMethodID(javaClass.reference(), utf8Name.constData(), utf8Signature.constData());
        if (!id) {
            env->ExceptionClear();
            id = env->GetStaticMethodID(javaClass.reference(), utf8Name.constData(),
                                        utf8Signature.constData());
            isStatic = true;
        }
        if (!id) {
            qCWarning(lcBridge).noquote()
                << QStringLiteral("Declared method could not be found %1 %2").arg(name, signature);
            env->ExceptionClear();
            continue;
        }
        auto reflected = std::make_unique<QoJavaMethod>(id, name, signature, returnType, parameterTypes);
        if (isStatic)
            javaClass.addStaticMethod(std::move(reflected));
        else
            javaClass.addMethod(std::move(reflected));
    }
}

void JavaClassMirror::reflectConstructors(QoJavaClass &javaClass, JNIEnv *env)
{
    const Reflection &r = *reflection_;
    LocalFrame frame(env);
    auto constructors =
        static_cast<jobjectArray>(callInternal(env, javaClass.reference(), r.getConstructors));
    if (!constructors)
        return;
    const jsize count = env->GetArrayLength(constructors);
    for (jsize i = 0; i < count; ++i) {
        LocalFrame constructorFrame(env, 16);
        jobject constructor = env->GetObjectArrayElement(constructors, i);
        const QStringList parameterTypes = classNames(
            static_cast<jobjectArray>(callInternal(env, constructor, r.constructorGetParameterTypes)), env);
        const QString signature = QoJavaMethod::methodSignature(QStringLiteral("void"), parameterTypes);
        jmethodID id = env->GetMethodID(javaClass.reference(), "<init>", signature.toUtf8().constData());
        if (!id) {
            env->ExceptionClear();
            continue;
        }
        javaClass.addMethod(std::make_unique<QoJavaMethod>(id, QStringLiteral("<init>"), signature,
                                                           QStringLiteral("void"), parameterTypes));
    }
}

QStringList JavaClassMirror::classNames(jobjectArray classes, JNIEnv *env)
{
    QStringList names;
    if (!classes)
        return names;
    const jsize count = env->GetArrayLength(classes);
    for (jsize i = 0; i < count; ++i)
        names << classNameOf(env->GetObjectArrayElement(classes, i), env);
    env->DeleteLocalRef(classes);
    return names;
}

QString JavaClassMirror::classNameOf(jobject classObject, JNIEnv *env)
{
    if (!classObject)
        return QString();
    const QString name =
        Jni::loadString(static_cast<jstring>(callInternal(env, classObject, reflection_->classGetName)), env);
    env->DeleteLocalRef(classObject);
    return name;
}

void JavaClassMirror::ensureStandardClasses(JNIEnv *env)
{
    if (stringClassObject_.load())
        return;
    QoJavaClass *classClass = classForName(QStringLiteral("java/lang/Class"), env);
    classGetNameMethod_ = classClass->methodsForSelector(QStringLiteral("getName")).constFirst()->methodId();
    const QoJavaClass *stringClass = classForName(QStringLiteral("java/lang/String"), env);
    stringClass_ = stringClass->reference();
    stringClassObject_ = stringClass;
}

const QoJavaClass *JavaClassMirror::stringClass() const
{
    return stringClassObject_.load();
}

const QoJavaClass *JavaClassMirror::classForObjectReference(jobject object, JNIEnv *env)
{
    if (!object)
        return nullptr;
    if (!env) {
        bridge_->throwFinalConfigError(QStringLiteral("_environment nil in classForObjectReference"));
        return nullptr;
    }
    std::lock_guard lock(lock_);
    ensureStandardClasses(env);
    if (env->IsInstanceOf(object, stringClass_))
        return stringClassObject_.load();
    jclass objectClass = env->GetObjectClass(object);
    if (Jni::clearException(env))
        return nullptr;
    if (!objectClass) {
        bridge_->throwFinalConfigError(QStringLiteral("class not found in classForObjectReference"));
        return nullptr;
    }
    auto javaName = static_cast<jstring>(callInternal(env, objectClass, classGetNameMethod_));
    if (!javaName) {
        env->DeleteLocalRef(objectClass);
        bridge_->throwFinalConfigError(
            QStringLiteral("_classGetNameMethod returned 0 in classForObjectReference"));
        return nullptr;
    }
    const QString name = Jni::loadString(javaName, env);
    if (name.isNull()) {
        env->DeleteLocalRef(objectClass);
        bridge_->throwFinalConfigError(QStringLiteral("className is nil in classForObjectReference"));
        return nullptr;
    }
    // The object's own class object serves as the class reference: a lookup by name would miss
    // classes that no loader finds by name (lambdas and other hidden classes).
    const QString slashName = QString(name).replace(QLatin1Char('.'), QLatin1Char('/'));
    if (!bareClassReferences_.contains(slashName))
        bareClassReferences_.insert(slashName, static_cast<jclass>(env->NewGlobalRef(objectClass)));
    env->DeleteLocalRef(objectClass);
    return classForName(name, env);
}

#include "bridge/QoJavaBridge.h"

#include "bridge/BridgeLog.h"
#include "bridge/JavaClassMirror.h"
#include "bridge/JavaExceptionReporter.h"
#include "bridge/JavaValueConverter.h"
#include "bridge/JniSupport.h"
#include "bridge/QoJavaBridgeDelegate.h"
#include "bridge/QoJavaClass.h"
#include "bridge/QoJavaMethod.h"
#include "platform/Bundle.h"
#include "platform/MainThread.h"

#include <mutex>
#include <optional>

using Jni::LocalFrame;

namespace
{
std::mutex sharedConfigurationMutex;
std::optional<std::pair<QVariantMap, QString>> sharedConfiguration;

QVariant emptyResult(QoJavaMethod::Kind kind)
{
    switch (kind) {
    case QoJavaMethod::Kind::Boolean:
        return false;
    case QoJavaMethod::Kind::Long:
        return qint64(0);
    case QoJavaMethod::Kind::Int:
    case QoJavaMethod::Kind::Short:
    case QoJavaMethod::Kind::Byte:
        return 0;
    case QoJavaMethod::Kind::Char:
        return QChar();
    case QoJavaMethod::Kind::Float:
    case QoJavaMethod::Kind::Double:
        return 0.0;
    default:
        return {};
    }
}
} // namespace

// ---- Start-up -----------------------------------------------------------------------------------

QoJavaBridge::Configuration QoJavaBridge::configurationFromInfoDictionary(const QVariantMap &infoDictionary,
                                                                          const QString &bundlePath)
{
    return JavaVirtualMachineLauncher::configurationFromInfoDictionary(infoDictionary, bundlePath);
}

QoJavaBridge *QoJavaBridge::javaBridge()
{
    static QoJavaBridge *shared = createShared();
    return shared;
}

void QoJavaBridge::setSharedConfiguration(const QVariantMap &infoDictionary, const QString &bundlePath)
{
    std::lock_guard lock(sharedConfigurationMutex);
    sharedConfiguration = std::make_pair(infoDictionary, bundlePath);
}

QoJavaBridge *QoJavaBridge::createShared()
{
    QoJavaBridge *bridge = nullptr;
    {
        std::lock_guard lock(sharedConfigurationMutex);
        if (sharedConfiguration) {
            bridge = new QoJavaBridge(sharedConfiguration->first, sharedConfiguration->second);
        } else {
            const Bundle bundle = Bundle::mainBundle();
            bridge = new QoJavaBridge(bundle.infoDictionary(), bundle.bundlePath());
        }
    }
    if (bridge->startupJavaVirtualMachine())
        bridge->mirror_->preloadStandardClasses(bridge->environment());
    return bridge;
}

QoJavaBridge::QoJavaBridge(QVariantMap infoDictionary, QString bundlePath)
    : infoDictionary_(std::move(infoDictionary)), bundlePath_(std::move(bundlePath)),
      dereferencer_(launcher_),
      mirror_(std::make_unique<JavaClassMirror>(this,
                                                [this](const QString &error, const QString &description) {
                                                    reportConfigError(error, description);
                                                })),
      reporter_(std::make_unique<JavaExceptionReporter>()),
      converter_(std::make_unique<JavaValueConverter>(this))
{
}

QoJavaBridge::~QoJavaBridge() = default;

bool QoJavaBridge::startupJavaVirtualMachine()
{
    if (!launcher_.start(infoDictionary_, bundlePath_))
        return false;
    dereferencer_.start();
    return true;
}

// ---- Threads ----------------------------------------------------------------------------------

JNIEnv *QoJavaBridge::environment()
{
    return launcher_.environment();
}

void QoJavaBridge::attachNativeThread(const QString &threadName)
{
    launcher_.attachNativeThread(threadName);
}

void QoJavaBridge::removeNativeThread()
{
    launcher_.removeNativeThread();
}

// ---- Delegate and error reports ---------------------------------------------------------------

void QoJavaBridge::setDelegate(QoJavaBridgeDelegate *delegate)
{
    delegate_ = delegate;
    const QString held = delayedConfigError();
    if (delegate && !held.isNull())
        delegate->javaBridgeEncounteredConfigError(this, QStringLiteral("delayConfigError"), held);
}

QString QoJavaBridge::lastErrorLog() const
{
    return reporter_->lastReport();
}

QString QoJavaBridge::delayedConfigError() const
{
    return launcher_.heldConfigError();
}

quint64 QoJavaBridge::javaExceptionCount()
{
    return JavaExceptionReporter::threadExceptionCount();
}

QString QoJavaBridge::lastJavaExceptionMessage()
{
    return JavaExceptionReporter::threadLastExceptionMessage();
}

void QoJavaBridge::reportConfigError(const QString &error, const QString &description)
{
    // The delegate's alert is interface work: it always runs on the main thread.
    auto deliver = [this, error, description] {
        if (QoJavaBridgeDelegate *delegate = delegate_.load())
            delegate->javaBridgeEncounteredConfigError(this, error, description);
    };
    if (MainThread::isMainThread())
        deliver();
    else
        MainThread::post(deliver);
}

void QoJavaBridge::throwFinalConfigError(const QString &message)
{
    const QString rule = QStringLiteral("===================================================");
    qCWarning(lcBridge).noquote() << "=========== Vorn Internal Exception ============== ";
    qCWarning(lcBridge).noquote() << rule;
    qCWarning(lcBridge).noquote() << rule;
    qCWarning(lcBridge).noquote() << QStringLiteral("    %1").arg(message);
    qCWarning(lcBridge).noquote() << rule;
    reportConfigError(message, message);
}

bool QoJavaBridge::checkForMethodExceptions(const QString &methodName)
{
    JNIEnv *env = JavaVirtualMachineLauncher::currentEnvironment();
    if (!env || !reporter_->reportPendingException(env, methodName))
        return false;
    if (delegate_.load() && reportErrors_.exchange(false)) {
        MainThread::post([this] {
            if (QoJavaBridgeDelegate *delegate = delegate_.load())
                delegate->javaBridgeEncounteredUnexpectedError(this);
        });
    }
    return true;
}

// ---- De-referencer ----------------------------------------------------------------------------

void QoJavaBridge::deallocateObject(jobject reference)
{
    dereferencer_.release(reference);
}

QoJavaBridge::DereferenceStatistics QoJavaBridge::dereferenceStatistics() const
{
    return dereferencer_.statistics();
}

void QoJavaBridge::setDereferencerRequestsGc(bool requestGc)
{
    dereferencer_.setRequestGc(requestGc);
}

bool QoJavaBridge::dereferencerRequestsGc() const
{
    return dereferencer_.requestGc();
}

// ---- Classes ----------------------------------------------------------------------------------

QoJavaClass *QoJavaBridge::classForName(const QString &name)
{
    return mirror_->classForName(name, environment());
}

jclass QoJavaBridge::findClassReference(const QString &slashName, JNIEnv *env)
{
    return mirror_->findClassReference(slashName, env);
}

const QoJavaClass *QoJavaBridge::classForObjectReference(jobject object, JNIEnv *env)
{
    return mirror_->classForObjectReference(object, env);
}

// ---- Objects and calls ------------------------------------------------------------------------

QoJavaObjectPtr QoJavaBridge::instanceOfObject(const QString &className)
{
    QoJavaClass *javaClass = classForName(className);
    return javaClass ? javaClass->newObject() : nullptr;
}

QoJavaObjectPtr QoJavaBridge::createInteger(int value)
{
    QoJavaClass *integerClass = classForName(QStringLiteral("java/lang/Integer"));
    return integerClass ? integerClass->newObject(QStringLiteral("(I)V"), {value}) : nullptr;
}

QoJavaObjectPtr QoJavaBridge::objectForValue(const QVariant &value)
{
    JNIEnv *env = environment();
    if (!env || !value.isValid())
        return nullptr;
    LocalFrame frame(env);
    jobject local = converter_->objectArgument(env, QStringLiteral("java.lang.Object"), value);
    return qvariant_cast<QoJavaObjectPtr>(loadObject(local, env));
}

QoJavaObjectPtr QoJavaBridge::createObject(const QoJavaClass *javaClass, const QoJavaMethod &constructor,
                                           const QVariantList &args)
{
    JNIEnv *env = environment();
    if (!env || !chooseMethod({&constructor}, javaClass, args, env))
        return nullptr;
    LocalFrame frame(env);
    const std::optional<std::vector<jvalue>> values = converter_->arguments(env, constructor, args);
    if (!values)
        return nullptr;
    jobject local = env->NewObjectA(javaClass->reference(), constructor.methodId(), values->data());
    // A constructor that throws is reported like any failed call.
    if (checkForMethodExceptions(constructor.name()) || !local)
        return nullptr;
    return QoJavaObject::objectWithReference(env->NewGlobalRef(local), javaClass, this);
}

QVariant QoJavaBridge::callMethod(const QList<const QoJavaMethod *> &candidates, const QoJavaClass *javaClass,
                                  jobject target, const QVariantList &args)
{
    JNIEnv *env = environment();
    if (!env)
        return {};
    const QoJavaMethod *method = chooseMethod(candidates, javaClass, args, env);
    if (!method)
        return {};
    LocalFrame frame(env);
    const std::optional<std::vector<jvalue>> values = converter_->arguments(env, *method, args);
    if (!values)
        return emptyResult(method->kind());
    const jvalue *v = values->data();
    const jmethodID id = method->methodId();
    jclass cls = javaClass->reference();
    jvalue result{};
    using Kind = QoJavaMethod::Kind;
    switch (method->kind()) {
    case Kind::Void:
        target ? env->CallVoidMethodA(target, id, v) : env->CallStaticVoidMethodA(cls, id, v);
        break;
    case Kind::Boolean:
        result.z =
            target ? env->CallBooleanMethodA(target, id, v) : env->CallStaticBooleanMethodA(cls, id, v);
        break;
    case Kind::Long:
        result.j = target ? env->CallLongMethodA(target, id, v) : env->CallStaticLongMethodA(cls, id, v);
        break;
    case Kind::Int:
        result.i = target ? env->CallIntMethodA(target, id, v) : env->CallStaticIntMethodA(cls, id, v);
        break;
    case Kind::Char:
        result.c = target ? env->CallCharMethodA(target, id, v) : env->CallStaticCharMethodA(cls, id, v);
        break;
    case Kind::Byte:
        result.b = target ? env->CallByteMethodA(target, id, v) : env->CallStaticByteMethodA(cls, id, v);
        break;
    case Kind::Short:
        result.s = target ? env->CallShortMethodA(target, id, v) : env->CallStaticShortMethodA(cls, id, v);
        break;
    case Kind::Float:
        result.f = target ? env->CallFloatMethodA(target, id, v) : env->CallStaticFloatMethodA(cls, id, v);
        break;
    case Kind::Double:
        result.d = target ? env->CallDoubleMethodA(target, id, v) : env->CallStaticDoubleMethodA(cls, id, v);
        break;
    case Kind::Object:
        result.l = target ? env->CallObjectMethodA(target, id, v) : env->CallStaticObjectMethodA(cls, id, v);
        break;
    case Kind::Unsupported:
        return {};
    }
    if (checkForMethodExceptions(method->name()))
        return emptyResult(method->kind());
    if (method->kind() == Kind::Object)
        return loadObject(result.l, env);
    return JavaValueConverter::primitiveResult(method->kind(), result);
}

const QoJavaMethod *QoJavaBridge::chooseMethod(const QList<const QoJavaMethod *> &candidates,
                                               const QoJavaClass *javaClass, const QVariantList &args,
                                               JNIEnv *env)
{
    const QoJavaMethod *first = candidates.constFirst();
    if (args.size() != first->parameterCount()) {
        qCWarning(lcBridge).noquote() << QStringLiteral("%1 of %2 takes %3 arguments, %4 given: not called")
                                             .arg(first->selectorName(), javaClass->name())
                                             .arg(first->parameterCount())
                                             .arg(args.size());
        return nullptr;
    }
    if (candidates.size() == 1)
        return first;
    // Overloads of one name and arity: take the one the argument kinds fit best.
    const QoJavaMethod *best = nullptr;
    int bestFit = 0;
    bool tied = false;
    for (const QoJavaMethod *candidate : candidates) {
        const int fit = converter_->fit(env, *candidate, args);
        if (fit > bestFit) {
            best = candidate;
            bestFit = fit;
            tied = false;
        } else if (fit == bestFit && fit > 0) {
            tied = true;
        }
    }
    if (!best || tied) {
        QStringList signatures;
        for (const QoJavaMethod *candidate : candidates)
            signatures << candidate->signature();
        qCWarning(lcBridge).noquote()
            << QStringLiteral("%1 of %2: the arguments do not tell the overloads %3 apart: "
                              "not called")
                   .arg(first->selectorName(), javaClass->name(), signatures.join(", "));
        return nullptr;
    }
    return best;
}

// ---- Conversions ------------------------------------------------------------------------------

QVariant QoJavaBridge::loadObject(jobject localReference, JNIEnv *env)
{
    if (!localReference || !env)
        return {};
    const QoJavaClass *javaClass = classForObjectReference(localReference, env);
    if (!javaClass) {
        env->DeleteLocalRef(localReference);
        return {};
    }
    if (javaClass == mirror_->stringClass())
        return loadString(static_cast<jstring>(localReference), env);
    if (QVariant value = converter_->unboxed(env, *javaClass, localReference); value.isValid()) {
        env->DeleteLocalRef(localReference);
        return value;
    }
    jobject global = env->NewGlobalRef(localReference);
    env->DeleteLocalRef(localReference);
    return QVariant::fromValue(QoJavaObject::objectWithReference(global, javaClass, this));
}

bool QoJavaBridge::clearException(JNIEnv *env)
{
    return Jni::clearException(env);
}

jobject QoJavaBridge::callInternal(JNIEnv *env, jobject object, jmethodID method)
{
    return Jni::callInternal(env, object, method);
}

QString QoJavaBridge::loadString(jstring localString, JNIEnv *env)
{
    return Jni::loadString(localString, env);
}

jstring QoJavaBridge::createJString(const QString &string, JNIEnv *env)
{
    return Jni::createJString(string, env);
}
